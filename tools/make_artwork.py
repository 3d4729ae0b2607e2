#!/usr/bin/env python3
"""Veradex artwork generator.

Draws every bitmap and icon the program refers to by number and writes them as
res/bitmaps/<id>.png and res/icons/<id>.png.  The build embeds the PNG files
that are checked in; it never runs this script.

Rerun (from the top of the tree):

    python3 tools/make_artwork.py            # regenerate res/bitmaps, res/icons
    python3 tools/make_artwork.py --sheet /tmp/artwork   # also write review sheets
    python3 tools/make_artwork.py --desktop  # only res/desktop (menu icons, SVG)

Needs only Python 3 (standard library) and rsvg-convert (Debian/Ubuntu package
librsvg2-bin) plus the Nanum fonts (package fonts-nanum).  Each image is drawn
as SVG, rasterised by rsvg-convert and then composited and encoded here, so
that the skins come out opaque with an exact pure-green (0x00FF00) cut-out key
and the buttons carry the exact background they sit on.

Palette: deep navy (#102A43 / #1B3B5A), teal (#1F7A80), white and light greys,
one warm accent (amber #F0A33A).  Type face: NanumBarunGothic (bold for
labels), NanumSquare for the word mark.
"""

import math
import os
import struct
import subprocess
import sys
import tempfile
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BITMAPS = os.path.join(ROOT, "res", "bitmaps")
ICONS = os.path.join(ROOT, "res", "icons")

# ---------------------------------------------------------------- palette
NAVY9 = "#102A43"
NAVY8 = "#163553"
NAVY7 = "#1B3B5A"
NAVY6 = "#24507A"
NAVY5 = "#2F6290"
TEAL7 = "#17636A"
TEAL6 = "#1F7A80"
TEAL5 = "#2A9D8F"
TEAL1 = "#DDF1EE"
GREY0 = "#FFFFFF"
GREY1 = "#F4F7FA"
GREY2 = "#E4EAF0"
GREY3 = "#CBD5E0"
GREY4 = "#9FB3C8"
GREY6 = "#627D98"
INK = "#1E2B37"
AMBER = "#F0A33A"
AMBER_D = "#D98A1F"

FONT = "NanumBarunGothic"
MARK_FONT = "NanumSquare"

KEY = (0, 255, 0)


def rgb(hexcolour):
    h = hexcolour.lstrip("#")
    return (int(h[0:2], 16), int(h[2:4], 16), int(h[4:6], 16))


# ---------------------------------------------------------------- PNG I/O
class Image:
    """A plain RGB or RGBA pixel buffer (8 bits a channel)."""

    def __init__(self, w, h, channels=3, data=None, fill=(0, 0, 0)):
        self.w, self.h, self.c = w, h, channels
        if data is None:
            px = bytes(fill[:channels]) if channels <= len(fill) else bytes(fill) + b"\xff"
            data = bytearray(px * (w * h))
        self.data = bytearray(data)

    def get(self, x, y):
        i = (y * self.w + x) * self.c
        return tuple(self.data[i:i + self.c])

    def put(self, x, y, px):
        i = (y * self.w + x) * self.c
        self.data[i:i + self.c] = bytes(px[:self.c])

    def crop(self, x0, y0, w, h):
        out = Image(w, h, self.c)
        rowlen = w * self.c
        for y in range(h):
            s = ((y0 + y) * self.w + x0) * self.c
            out.data[y * rowlen:(y + 1) * rowlen] = self.data[s:s + rowlen]
        return out


def _paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def read_png(path):
    with open(path, "rb") as f:
        raw = f.read()
    assert raw[:8] == b"\x89PNG\r\n\x1a\n", path
    pos, idat, w = 8, [], None
    while pos < len(raw):
        ln, typ = struct.unpack(">I4s", raw[pos:pos + 8])
        body = raw[pos + 8:pos + 8 + ln]
        pos += 12 + ln
        if typ == b"IHDR":
            w, h, depth, ctype, _, _, inter = struct.unpack(">IIBBBBB", body)
            assert depth == 8 and ctype in (2, 6) and inter == 0, (path, depth, ctype)
        elif typ == b"IDAT":
            idat.append(body)
        elif typ == b"IEND":
            break
    c = 4 if ctype == 6 else 3
    buf = zlib.decompress(b"".join(idat))
    stride = w * c
    out = bytearray(stride * h)
    prev = bytearray(stride)
    p = 0
    for y in range(h):
        ft = buf[p]
        line = bytearray(buf[p + 1:p + 1 + stride])
        p += 1 + stride
        if ft == 1:
            for i in range(c, stride):
                line[i] = (line[i] + line[i - c]) & 255
        elif ft == 2:
            for i in range(stride):
                line[i] = (line[i] + prev[i]) & 255
        elif ft == 3:
            for i in range(stride):
                left = line[i - c] if i >= c else 0
                line[i] = (line[i] + ((left + prev[i]) >> 1)) & 255
        elif ft == 4:
            for i in range(stride):
                left = line[i - c] if i >= c else 0
                ul = prev[i - c] if i >= c else 0
                line[i] = (line[i] + _paeth(left, prev[i], ul)) & 255
        out[y * stride:(y + 1) * stride] = line
        prev = line
    return Image(w, h, c, out)


def write_png(img, path):
    c = img.c
    stride = img.w * c
    rows = []
    prev = bytes(stride)
    for y in range(img.h):
        line = bytes(img.data[y * stride:(y + 1) * stride])
        # Try "none", "sub" and "up"; keep the one with the smallest sum.
        sub = bytes((line[i] - (line[i - c] if i >= c else 0)) & 255 for i in range(stride))
        up = bytes((line[i] - prev[i]) & 255 for i in range(stride))
        best = min(((0, line), (1, sub), (2, up)),
                   key=lambda t: sum(v if v < 128 else 256 - v for v in t[1]))
        rows.append(bytes([best[0]]) + best[1])
        prev = line

    def chunk(typ, body):
        return (struct.pack(">I", len(body)) + typ + body
                + struct.pack(">I", zlib.crc32(typ + body) & 0xFFFFFFFF))

    ctype = 6 if c == 4 else 2
    png = (b"\x89PNG\r\n\x1a\n"
           + chunk(b"IHDR", struct.pack(">IIBBBBB", img.w, img.h, 8, ctype, 0, 0, 0))
           + chunk(b"IDAT", zlib.compress(b"".join(rows), 9))
           + chunk(b"IEND", b""))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(png)


# ---------------------------------------------------------------- SVG
def render_svg(body, w, h):
    """Rasterises an SVG fragment of size w x h; returns an RGBA Image."""
    svg = ('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" '
           'viewBox="0 0 %d %d">%s</svg>' % (w, h, w, h, body))
    with tempfile.TemporaryDirectory() as tmp:
        src = os.path.join(tmp, "a.svg")
        dst = os.path.join(tmp, "a.png")
        with open(src, "w", encoding="utf-8") as f:
            f.write(svg)
        subprocess.run(["rsvg-convert", "-f", "png", "-o", dst, src], check=True)
        img = read_png(dst)
    if img.c == 3:
        rgba = Image(w, h, 4)
        for i in range(w * h):
            rgba.data[i * 4:i * 4 + 3] = img.data[i * 3:i * 3 + 3]
            rgba.data[i * 4 + 3] = 255
        img = rgba
    return img


def over(fg, bg):
    """Composites RGBA fg over RGB bg (same size, or bg a colour); returns RGB."""
    w, h = fg.w, fg.h
    if isinstance(bg, tuple):
        bg = Image(w, h, 3, fill=bg)
    out = Image(w, h, 3)
    f, b, o = fg.data, bg.data, out.data
    for i in range(w * h):
        a = f[i * 4 + 3]
        for k in range(3):
            o[i * 3 + k] = (f[i * 4 + k] * a + b[i * 3 + k] * (255 - a) + 127) // 255
    return out


def text(x, y, s, size=13, fill=INK, weight="bold", anchor="start", family=FONT, extra=""):
    s = s.replace("&", "&amp;").replace("<", "&lt;")
    return ('<text x="%s" y="%s" font-family="%s" font-size="%s" font-weight="%s" '
            'fill="%s" text-anchor="%s" %s>%s</text>' % (x, y, family, size, weight, fill,
                                                         anchor, extra, s))


def grad(gid, stops, x2=0, y2=1):
    st = "".join('<stop offset="%s" stop-color="%s"/>' % (o, c) for o, c in stops)
    return ('<linearGradient id="%s" x1="0" y1="0" x2="%s" y2="%s">%s</linearGradient>'
            % (gid, x2, y2, st))


# ---------------------------------------------------------------- pictograms
# Each pictogram is drawn in a 24 x 24 box, stroke only, colour given.
def picto(name, colour, sw=2.0):
    s = ('fill="none" stroke="%s" stroke-width="%s" stroke-linecap="round" '
         'stroke-linejoin="round"' % (colour, sw))
    f = 'fill="%s"' % colour
    if name == "mail":
        return ('<rect x="2.5" y="5" width="19" height="14" rx="2" %s/>'
                '<path d="M3 6.5 L12 13 L21 6.5" %s/>' % (s, s))
    if name == "phone":
        return ('<rect x="6.5" y="2" width="11" height="20" rx="2.2" %s/>'
                '<path d="M10.5 18.5 H13.5" %s/><path d="M9.5 4.8 H14.5" %s/>' % (s, s, s))
    if name == "resend":
        return ('<rect x="2.5" y="6" width="14" height="11" rx="1.6" %s/>'
                '<path d="M3 7.5 L9.5 12 L16 7.5" %s/>'
                '<path d="M19.5 9 V15 a3 3 0 0 1 -3 3 H12" %s/>'
                '<path d="M17.5 11 L19.5 8.5 L21.5 11" %s/>' % (s, s, s, s))
    if name == "board":
        return ('<path d="M4 4.5 H20 a1.5 1.5 0 0 1 1.5 1.5 V15 a1.5 1.5 0 0 1 -1.5 1.5 H11 '
                'L6.5 20.5 V16.5 H4 a1.5 1.5 0 0 1 -1.5 -1.5 V6 a1.5 1.5 0 0 1 1.5 -1.5 Z" %s/>'
                '<path d="M7 9 H17 M7 12.5 H14" %s/>' % (s, s))
    if name == "media":
        return ('<rect x="2.5" y="4" width="19" height="13" rx="1.8" %s/>'
                '<path d="M9 21 H15 M12 17 V21" %s/>'
                '<path d="M10.5 8.2 V12.8 L14.5 10.5 Z" %s/>' % (s, s, f))
    if name == "fax":
        return ('<path d="M7 9 V3 H15 L17 5 V9" %s/>'
                '<rect x="3" y="9" width="18" height="9" rx="1.8" %s/>'
                '<path d="M7 15 V21 H17 V15" %s/>'
                '<circle cx="17.5" cy="12" r="1" %s/>' % (s, s, s, f))
    if name == "bug":
        return ('<ellipse cx="12" cy="14" rx="5" ry="6.5" %s/>'
                '<path d="M12 8 V20.5" %s/>'
                '<path d="M9 8.5 a3 3 0 0 1 6 0" %s/>'
                '<path d="M7 11 L3.5 9 M7 14.5 H3 M7.5 18 L4 20.5 M17 11 L20.5 9 M17 14.5 H21 '
                'M16.5 18 L20 20.5 M10 5.5 L8.5 3 M14 5.5 L15.5 3" %s/>' % (s, s, s, s))
    if name == "menu":
        return '<path d="M4 6.5 H20 M4 12 H20 M4 17.5 H20" %s/>' % s
    if name == "gear":
        pts = []
        n = 8
        for k in range(n):
            a0 = 2 * math.pi * k / n
            for da, rad in ((-0.30, 7.4), (-0.17, 10.3), (0.17, 10.3), (0.30, 7.4)):
                pts.append("%.2f %.2f" % (12 + rad * math.cos(a0 + da), 12 + rad * math.sin(a0 + da)))
        return ('<path d="M%s Z M15.4 12 a3.4 3.4 0 1 0 -6.8 0 a3.4 3.4 0 1 0 6.8 0 Z" '
                'fill="%s" fill-rule="evenodd"/>' % (" L".join(pts), colour))
    if name == "lookup":
        return ('<path d="M5 2.5 H14 L18 6.5 V11" %s/><path d="M5 2.5 V21 H11" %s/>'
                '<path d="M8 8 H13 M8 11.5 H11" %s/>'
                '<circle cx="16" cy="16" r="3.6" %s/><path d="M18.6 18.6 L21.5 21.5" %s/>'
                % (s, s, s, s, s))
    if name == "minimise":
        return '<path d="M6.5 12.5 H17.5" %s/>' % s
    if name == "close":
        return '<path d="M7 7 L17 17 M17 7 L7 17" %s/>' % s
    if name == "plus":
        return '<path d="M12 5.5 V18.5 M5.5 12 H18.5" %s/>' % s
    if name == "minus":
        return '<path d="M5.5 12 H18.5" %s/>' % s
    if name == "trash":
        return ('<path d="M4.5 6.5 H19.5 M9.5 6.5 V4 H14.5 V6.5" %s/>'
                '<path d="M6.5 6.5 L7.5 20 H16.5 L17.5 6.5" %s/>' % (s, s))
    if name == "capture":
        # a message dropping into a tray
        return ('<path d="M12 3 V13 M8 9.5 L12 13.5 L16 9.5" %s/>'
                '<path d="M3.5 14 V19.5 H20.5 V14" %s/>' % (s, s))
    raise KeyError(name)


def place(picto_svg, x, y, size):
    return '<g transform="translate(%s %s) scale(%s)">%s</g>' % (x, y, size / 24.0, picto_svg)


def logo(x, y, size):
    """The program's mark: a teal rounded square, a white envelope and an amber seal."""
    k = size / 48.0
    return ('<g transform="translate(%s %s) scale(%s)">'
            '<defs>%s</defs>'
            '<rect x="1" y="1" width="46" height="46" rx="11" fill="url(#lg)"/>'
            '<rect x="9" y="14" width="27" height="20" rx="3" fill="#FFFFFF"/>'
            '<path d="M10.5 16 L22.5 25 L34.5 16" fill="none" stroke="%s" stroke-width="2.6" '
            'stroke-linecap="round" stroke-linejoin="round"/>'
            '<circle cx="35" cy="33" r="8.5" fill="%s" stroke="%s" stroke-width="2"/>'
            '<path d="M31.2 33.2 L34 36 L39 30.5" fill="none" stroke="#FFFFFF" stroke-width="2.6" '
            'stroke-linecap="round" stroke-linejoin="round"/>'
            '</g>' % (x, y, k, grad("lg", [(0, TEAL5), (1, TEAL7)], 1, 1), NAVY7, AMBER,
                      "#FFFFFF"))


# ---------------------------------------------------------------- skins
def rounded_mask(w, h, r):
    """True for the pixels that stay (centre inside the rounded rectangle)."""
    def inside(x, y):
        cx, cy = x + 0.5, y + 0.5
        qx = min(cx, w - cx)
        qy = min(cy, h - cy)
        if qx >= r or qy >= r:
            return True
        return (r - qx) ** 2 + (r - qy) ** 2 <= r * r
    return inside


def finish_skin(fg_rgba, radius, frame):
    """Opaque skin: the outside of the rounded outline becomes exact key green,
    edge pixels blend only toward the frame colour."""
    img = over(fg_rgba, rgb(frame))
    inside = rounded_mask(img.w, img.h, radius)
    cut = set()
    for y in list(range(0, radius + 1)) + list(range(img.h - radius - 1, img.h)):
        for x in list(range(0, radius + 1)) + list(range(img.w - radius - 1, img.w)):
            if not inside(x, y):
                img.put(x, y, KEY)
                cut.add((x, y))
    # every kept pixel that touches the cut (or the image's edge) is the frame
    # colour, so the outline is crisp and nothing light meets the green
    edge = rgb(frame)
    for y in range(img.h):
        xs = range(img.w) if y in (0, img.h - 1) or y <= radius or y >= img.h - radius - 1 \
            else (0, img.w - 1)
        for x in xs:
            if (x, y) in cut:
                continue
            if x in (0, img.w - 1) or y in (0, img.h - 1) or any(
                    n in cut for n in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1))):
                img.put(x, y, edge)
    return img


def outline(w, h, r):
    # the soft outline: dark outer line, lighter inner line
    return ('<rect x="0.5" y="0.5" width="%s" height="%s" rx="%s" fill="none" stroke="%s"/>'
            '<rect x="1.5" y="1.5" width="%s" height="%s" rx="%s" fill="none" stroke="%s" '
            'stroke-opacity="0.12"/>' % (w - 1, h - 1, r - 0.5, NAVY9, w - 3, h - 3, r - 1.5,
                                         "#FFFFFF"))


def skin_report():
    W, H, R = 784, 612, 10
    b = ["<defs>",
         grad("hd", [(0, NAVY9), (1, NAVY7)], 1, 0),
         grad("col", [(0, NAVY8), (1, NAVY9)], 0, 1),
         "</defs>"]
    # window body
    b.append('<rect width="%d" height="%d" fill="%s"/>' % (W, H, GREY2))
    # header band
    b.append('<rect width="%d" height="98" fill="url(#hd)"/>' % W)
    b.append('<rect y="98" width="%d" height="3" fill="%s"/>' % (W, AMBER))
    # left column behind the category buttons
    b.append('<rect y="101" width="159" height="%d" fill="url(#col)"/>' % (H - 101))
    # content panel: exactly where the browser shows (159,105 610x490); the
    # e-mail form lives here too, so it stays flat white
    b.append('<path d="M159 104.5 H769.5 V595.5 H159" fill="none" stroke="%s"/>' % GREY3)
    b.append('<rect x="159" y="105" width="610" height="490" fill="%s"/>' % GREY0)
    # word mark
    b.append(logo(16, 13, 40))
    b.append(text(66, 38, "Veradex", 24, "#FFFFFF", "bold", family=MARK_FONT,
                  extra='letter-spacing="0.5"'))
    b.append(text(67, 58, "Dunmere 스팸 신고 센터", 12, "#B7CBDD", "normal"))
    # a quiet tag line under the tool buttons row, left of them
    b.append(text(66, 84, "안전하고 간편한 스팸 신고", 11.5, "#7F9BB6", "normal"))
    # faint pattern at the header's right
    for i in range(6):
        b.append('<circle cx="%d" cy="150" r="%d" fill="none" stroke="#FFFFFF" '
                 'stroke-opacity="0.025" stroke-width="14"/>' % (560, 70 + i * 26))
    # header redraw over the pattern below the band
    b.append('<rect y="101" width="%d" height="%d" fill="%s"/>' % (W, 3, GREY2))
    b.append('<rect y="101" width="159" height="4" fill="%s"/>' % NAVY8)
    # column foot
    b.append(outline(W, H, R))
    img = render_svg("".join(b), W, H)
    return finish_skin(img, R, NAVY9)


def skin_dialog(W, H, title_band=34):
    R = 9
    b = ["<defs>", grad("hd", [(0, NAVY9), (1, NAVY6)], 1, 0), "</defs>",
         '<rect width="%d" height="%d" fill="#FFFFFF"/>' % (W, H),
         '<rect width="%d" height="%d" fill="url(#hd)"/>' % (W, title_band),
         '<rect y="%d" width="%d" height="2" fill="%s"/>' % (title_band, W, AMBER),
         # small mark at the caption's right (the caption text is centred over W-20)
         '<g opacity="0.95">%s</g>' % logo(9, 7, 20),
         '<rect y="%d" width="%d" height="8" fill="%s"/>' % (H - 8, W, GREY1),
         outline(W, H, R)]
    img = render_svg("".join(b), W, H)
    return finish_skin(img, R, NAVY9)


def skin_login():
    W = H = 283
    R = 9
    band = 34
    b = ["<defs>", grad("hd", [(0, NAVY9), (1, NAVY6)], 1, 0), "</defs>",
         '<rect width="%d" height="%d" fill="#FFFFFF"/>' % (W, H),
         '<rect width="%d" height="%d" fill="url(#hd)"/>' % (W, band),
         '<rect y="%d" width="%d" height="2" fill="%s"/>' % (band, W, AMBER),
         '<g opacity="0.95">%s</g>' % logo(9, 7, 20),
         # lock pictogram above the password row (edit at ~94,126)
         '<circle cx="141.5" cy="80" r="27" fill="%s"/>' % TEAL1,
         '<g fill="none" stroke="%s" stroke-width="3" stroke-linecap="round">'
         '<path d="M132 77 V70 a9.5 9.5 0 0 1 19 0 V77"/></g>' % TEAL6,
         '<rect x="127" y="76" width="29" height="21" rx="4" fill="%s"/>' % TEAL6,
         '<circle cx="141.5" cy="85" r="3" fill="#FFFFFF"/>',
         '<rect x="140.3" y="86" width="2.4" height="6" rx="1" fill="#FFFFFF"/>',
         '<rect x="14" y="%d" width="%d" height="1" fill="%s"/>' % (H - 68, W - 28, GREY2),
         '<rect y="%d" width="%d" height="8" fill="%s"/>' % (H - 8, W, GREY1),
         outline(W, H, R)]
    img = render_svg("".join(b), W, H)
    return finish_skin(img, R, NAVY9)


# ---------------------------------------------------------------- buttons
def button_svg(w, h, label, kind, state, r=6, size=13):
    """kind: primary | secondary | accent; state: up | down | focus | disabled."""
    dx = dy = 1 if state == "down" else 0
    if kind == "primary":
        fill, border, ink = TEAL6, TEAL7, "#FFFFFF"
        if state == "down":
            fill, border = TEAL7, "#0F4E54"
    elif kind == "accent":
        fill, border, ink = AMBER, AMBER_D, NAVY9
        if state == "down":
            fill, border = AMBER_D, "#B8731A"
    else:
        fill, border, ink = "#FFFFFF", GREY3, NAVY7
        if state == "down":
            fill, border = GREY2, GREY4
    if state == "disabled":
        fill, border, ink = GREY1, GREY2, GREY4
    b = []
    if state not in ("down", "disabled"):
        # a soft drop under the button
        b.append('<rect x="1" y="2" width="%s" height="%s" rx="%s" fill="%s" opacity="0.25"/>'
                 % (w - 2, h - 2.5, r, GREY4))
    b.append('<rect x="%s" y="%s" width="%s" height="%s" rx="%s" fill="%s" stroke="%s"/>'
             % (0.5 + dx, 0.5 + dy, w - 2, h - 2.5, r, fill, border))
    if state == "up" and kind != "secondary":
        b.append('<rect x="1.5" y="1.5" width="%s" height="%s" rx="%s" fill="none" '
                 'stroke="#FFFFFF" stroke-opacity="0.18"/>' % (w - 4, h - 4.5, r - 1))
    if state == "focus":
        b.append('<rect x="1.5" y="1.5" width="%s" height="%s" rx="%s" fill="none" '
                 'stroke="%s" stroke-width="2"/>' % (w - 4, h - 4.5, r - 1, AMBER))
    b.append(text(w / 2.0 + dx, (h - 1) / 2.0 + size * 0.36 + dy, label, size, ink, "bold",
                  "middle"))
    return "".join(b)


def icon_button_svg(w, h, pic, state, bg="light", r=4, label=None):
    """Small square tool buttons (attachment tools, tool bar, title bar)."""
    dx = dy = 1 if state == "down" else 0
    b = []
    if bg == "light":
        fill, border, ink = "#FFFFFF", GREY3, TEAL6
        if state == "down":
            fill, border, ink = GREY2, GREY4, TEAL7
        if state == "disabled":
            fill, border, ink = GREY1, GREY2, GREY3
        b.append('<rect x="%s" y="%s" width="%s" height="%s" rx="%s" fill="%s" stroke="%s"/>'
                 % (0.5 + dx, 0.5 + dy, w - 2, h - 2, r, fill, border))
        ps = min(w, h) - 6
        b.append(place(picto(pic, ink, 2.4), (w - 1 - ps) / 2.0 + dx, (h - 1 - ps) / 2.0 + dy, ps))
    elif bg == "title":
        ink = "#D5E1EC"
        if state == "down":
            b.append('<rect x="2.5" y="2.5" width="%s" height="%s" rx="5" fill="#000000" '
                     'fill-opacity="0.25"/>' % (w - 4, h - 4))
            ink = "#FFFFFF"
        elif state == "disabled":
            ink = "#5A7590"
        else:
            b.append('<rect x="2.5" y="2.5" width="%s" height="%s" rx="5" fill="#FFFFFF" '
                     'fill-opacity="0.07"/>' % (w - 4, h - 4))
        b.append(place(picto(pic, ink, 2.2), 5 + dx, 5 + dy, w - 10))
    elif bg == "tool":
        b.append('<rect x="0.5" y="0.5" width="%s" height="%s" rx="6" fill="#FFFFFF" '
                 'fill-opacity="0.09" stroke="#FFFFFF" stroke-opacity="0.16"/>' % (w - 1, h - 1))
        b.append(place(picto(pic, "#FFFFFF", 2.1), (w - 16) / 2.0, 3, 16))
        b.append(text(w / 2.0, h - 4, label, 9.5, "#E4ECF3", "bold", "middle",
                      extra='letter-spacing="-0.6"'))
    return "".join(b)


CATEGORIES = [
    # control, up, down, focus(current), hover, picto, label lines, height
    (1094, 210, 209, 208, 211, "mail", ["E-MAIL 스팸"], 69),
    (1095, 214, 213, 224, 215, "phone", ["전화(휴대폰)", "스팸"], 69),
    (1096, 228, 225, 230, 229, "resend", ["E-MAIL", "수신거부 후", "재전송"], 69),
    (1097, 232, 231, 234, 233, "board", ["게시판 스팸"], 69),
    (1098, 238, 237, 252, 239, "media", ["전자적 매체"], 69),
    (1100, 254, 253, 261, 260, "fax", ["팩스 스팸"], 69),
    (1101, 264, 263, 212, 265, "bug", ["악성코드"], 74),
]


def category_svg(w, h, pic, lines, state):
    dx = dy = 1 if state == "down" else 0
    x0, y0, tw, th = 6 + dx, 4 + dy, w - 13, h - 8
    if state == "current":
        fill, border, ink, disc, pink = "#FFFFFF", "#FFFFFF", NAVY9, TEAL1, TEAL6
    elif state == "hover":
        fill, border, ink, disc, pink = NAVY6, TEAL5, "#FFFFFF", NAVY5, "#FFFFFF"
    elif state == "down":
        fill, border, ink, disc, pink = "#0B2036", "#0B2036", "#C9D6E2", NAVY7, "#C9D6E2"
    else:
        fill, border, ink, disc, pink = NAVY7, "#26486B", "#FFFFFF", NAVY6, "#E8EEF4"
    b = ['<rect x="%s" y="%s" width="%s" height="%s" rx="8" fill="%s" stroke="%s"/>'
         % (x0 + 0.5, y0 + 0.5, tw - 1, th - 1, fill, border)]
    if state == "current":
        b.append('<rect x="%s" y="%s" width="4" height="%s" rx="2" fill="%s"/>'
                 % (x0 + 3, y0 + 10, th - 20, AMBER))
    cx, cy = x0 + 24, y0 + th / 2.0
    b.append('<circle cx="%s" cy="%s" r="15" fill="%s"/>' % (cx, cy, disc))
    b.append(place(picto(pic, pink, 1.9), cx - 10, cy - 10, 20))
    size = 12.5
    lx = x0 + 46
    lh = 15.5 if len(lines) < 3 else 14.5
    top = cy - (len(lines) - 1) * lh / 2.0 + size * 0.36
    for i, ln in enumerate(lines):
        fs = size if len(ln) < 12 else 11.5
        b.append(text(lx, top + i * lh, ln, fs, ink, "bold", extra='letter-spacing="-0.3"'))
    return "".join(b)


# ---------------------------------------------------------------- others
def picture_svg(kind, w=44, h=38):
    cx, cy, r = w / 2.0, h / 2.0, 16
    if kind == "stop":
        # every notice of the program uses this picture (failures and the
        # "received" notice alike), so it says "attention" rather than "error"
        return ('<circle cx="%s" cy="%s" r="%s" fill="%s"/>'
                '<path d="M%s %s v9" stroke="#FFFFFF" stroke-width="3.6" stroke-linecap="round"/>'
                '<circle cx="%s" cy="%s" r="2.2" fill="#FFFFFF"/>'
                % (cx, cy, r, AMBER_D, cx, cy - 8, cx, cy + 7.5))
    if kind == "question":
        return ('<circle cx="%s" cy="%s" r="%s" fill="%s"/>'
                '<path d="M%s %s a5 5 0 1 1 6.5 4.8 c-1.2 0.4 -1.5 1.1 -1.5 2.4 v1" fill="none" '
                'stroke="#FFFFFF" stroke-width="3.2" stroke-linecap="round"/>'
                '<circle cx="%s" cy="%s" r="2" fill="#FFFFFF"/>'
                % (cx, cy, r, TEAL6, cx - 5, cy - 4, cx, cy + 8.5))
    if kind == "info":
        return ('<circle cx="%s" cy="%s" r="%s" fill="%s"/>'
                '<path d="M%s %s v8" stroke="#FFFFFF" stroke-width="3" stroke-linecap="round"/>'
                '<circle cx="%s" cy="%s" r="1.8" fill="#FFFFFF"/>'
                % (cx, cy, r, NAVY6, cx, cy - 1, cx, cy - 6.5))
    raise KeyError(kind)


def checkbox_strip():
    """48 x 16: three cells; magenta is the transparent colour. Box edges are
    pixel-aligned so nothing blends into the magenta."""
    img = Image(48, 16, 3, fill=(255, 0, 255))
    def box(ox, checked):
        for y in range(1, 15):
            for x in range(1, 15):
                edge = x in (1, 14) or y in (1, 14)
                if checked:
                    img.put(ox + x, y, rgb(TEAL7) if edge else rgb(TEAL6))
                else:
                    img.put(ox + x, y, rgb(GREY4) if edge else (255, 255, 255))
    box(16, False)
    box(32, True)
    # the tick, drawn on the teal fill (so anti-aliasing meets teal only)
    tick = render_svg('<rect width="12" height="12" fill="%s"/>'
                      '<path d="M2.5 6.3 L5 8.8 L9.8 3.6" fill="none" stroke="#FFFFFF" '
                      'stroke-width="2" stroke-linecap="round" stroke-linejoin="round"/>'
                      % TEAL6, 12, 12)
    t = over(tick, rgb(TEAL6))
    for y in range(12):
        for x in range(12):
            img.put(32 + 2 + x, 2 + y, t.get(x, y))
    return img


def envelope_icon(size):
    k = size / 32.0
    return ('<g transform="scale(%s)">'
            '<rect x="2.5" y="6.5" width="27" height="19" rx="3" fill="#FFFFFF" stroke="%s" '
            'stroke-width="1.6"/>'
            '<path d="M3.5 8 L16 17.5 L28.5 8" fill="none" stroke="%s" stroke-width="1.6" '
            'stroke-linejoin="round" stroke-linecap="round"/>'
            '<path d="M3.5 24.5 L12.5 15.5 M28.5 24.5 L19.5 15.5" fill="none" stroke="%s" '
            'stroke-width="1.2" stroke-linecap="round"/>'
            '</g>' % (k, GREY4, GREY4, GREY3))


def tray_picture():
    W, H = 510, 292
    b = ["<defs>", grad("bg", [(0, NAVY9), (1, TEAL7)], 1, 1), "</defs>",
         '<rect width="%d" height="%d" fill="url(#bg)"/>' % (W, H)]
    for i in range(7):
        b.append('<circle cx="470" cy="40" r="%d" fill="none" stroke="#FFFFFF" '
                 'stroke-opacity="0.05" stroke-width="16"/>' % (60 + 34 * i))
    b.append(logo(60, 96, 96))
    b.append(text(176, 146, "Veradex", 44, "#FFFFFF", "bold", family=MARK_FONT))
    b.append(text(178, 178, "Dunmere 스팸 신고 센터", 17, "#B7CBDD", "normal"))
    b.append('<rect x="178" y="194" width="60" height="3" rx="1.5" fill="%s"/>' % AMBER)
    return over(render_svg("".join(b), W, H), (0, 0, 0))


# ---------------------------------------------------------------- assembly
def build():
    out = {}  # (folder, id) -> Image

    def bmp(i, img):
        out[("bitmaps", i)] = img

    # skins
    s216 = skin_report()
    bmp(216, s216)
    bmp(266, skin_dialog(368, 358))
    bmp(272, skin_login())

    # frame decorations: pieces of the report window's own frame
    W, H = 784, 612
    bmp(178, s216.crop(0, 0, 10, 20))
    bmp(180, s216.crop(W - 10, 0, 10, 20))
    bmp(182, s216.crop(0, 20, 4, H - 24))
    bmp(177, s216.crop(0, H - 4, 4, 4))
    bmp(179, s216.crop(W - 4, H - 4, 4, 4))
    bmp(165, s216.crop(4, H - 4, W - 8, 4))

    white = (255, 255, 255)

    # dialog buttons, 86 x 30, on white
    dlg = [("확인", "primary", {"up": 147, "down": 148, "disabled": 150}),
           ("취소", "secondary", {"up": 135, "down": 136, "focus": 134, "disabled": 138}),
           ("예", "primary", {"up": 168, "down": 164, "disabled": 161}),
           ("아니요", "secondary", {"up": 143, "down": 139, "disabled": 141}),
           ("저장", "primary", {"up": 159, "down": 160, "focus": 158, "disabled": 162})]
    for label, kind, ids in dlg:
        for state, i in ids.items():
            bmp(i, over(render_svg(button_svg(86, 30, label, kind, state), 86, 30), white))

    def on_skin(svg, x, y, w, h):
        return over(render_svg(svg, w, h), s216.crop(x, y, w, h))

    # report window: title bar buttons
    for pic, ids, x in (("minimise", (300, 301, 299), W - 90), ("close", (294, 295, 293), W - 60)):
        for state, i in zip(("up", "down", "disabled"), ids):
            bmp(i, on_skin(icon_button_svg(30, 30, pic, state, "title"), x, 6, 30, 30))
    # send and close
    for label, kind, (up, down) in (("닫기", "secondary", (144, 140)),
                                    ("신고하기", "primary", (195, 223))):
        x = W - 218 if up == 144 else W - 310
        bmp(up, on_skin(button_svg(80, 26, label, kind, "up", 5, 12.5), x, H - 125, 80, 26))
        bmp(down, on_skin(button_svg(80, 26, label, kind, "down", 5, 12.5), x, H - 125, 80, 26))
    # attachment tools
    bmp(202, on_skin(icon_button_svg(21, 20, "capture", "up"), 633, 391, 21, 20))
    bmp(242, on_skin(icon_button_svg(21, 20, "capture", "disabled"), 633, 391, 21, 20))
    bmp(259, on_skin(icon_button_svg(21, 20, "minus", "up"), 633, 431, 21, 20))
    bmp(203, on_skin(icon_button_svg(21, 20, "plus", "up"), 633, 413, 21, 20))
    bmp(204, on_skin(icon_button_svg(21, 20, "plus", "down"), 633, 413, 21, 20))
    bmp(243, on_skin(icon_button_svg(21, 20, "plus", "disabled"), 633, 413, 21, 20))
    # tool bar
    for i, pic, label, x in ((149, "menu", "메뉴", 612), (151, "gear", "환경설정", 658),
                             (152, "lookup", "민원확인", 705)):
        bmp(i, on_skin(icon_button_svg(40, 35, pic, "up", "tool", label=label), x, 53, 40, 35))

    # categories
    for idx, (ctl, up, down, cur, hov, pic, lines, h) in enumerate(CATEGORIES):
        y = 107 + 69 * idx if ctl != 1101 else 521
        for state, i in (("up", up), ("down", down), ("current", cur), ("hover", hov)):
            bmp(i, on_skin(category_svg(146, h, pic, lines, state), 13, y, 146, h))

    # pictures
    bmp(271, over(render_svg(picture_svg("stop"), 44, 38), white))
    bmp(270, over(render_svg(picture_svg("question"), 44, 38), white))
    bmp(189, over(render_svg(picture_svg("info", 30, 30).replace('r="16"', 'r="13"'), 30, 30),
                  white))
    bmp(137, checkbox_strip())
    bmp(183, tray_picture())

    # icons (with alpha)
    out[("icons", 128)] = render_svg(logo(0, 0, 48), 48, 48)
    out[("icons", 201)] = render_svg(envelope_icon(32), 32, 32)
    return out


def check(out):
    """Skins: opaque, key pixels exactly 0x00FF00, nothing else near the key."""
    problems = []
    for i in (216, 266, 272):
        img = out[("bitmaps", i)]
        if img.c != 3:
            problems.append("%d has alpha" % i)
        d = img.data
        keyed = 0
        for p in range(img.w * img.h):
            r, g, b = d[p * 3], d[p * 3 + 1], d[p * 3 + 2]
            near = r <= 17 and g >= 238 and b <= 17
            if near:
                keyed += 1
                if (r, g, b) != KEY:
                    problems.append("%d: inexact key at %d" % (i, p))
                    break
            elif g > r + 80 and g > b + 80:
                problems.append("%d: greenish fringe %s at %d" % (i, (r, g, b), p))
                break
        if keyed == 0:
            problems.append("%d: no cut-out" % i)
        for x, y in ((0, 0), (img.w - 1, 0), (0, img.h - 1), (img.w - 1, img.h - 1)):
            if img.get(x, y) != KEY:
                problems.append("%d: corner %d,%d not key" % (i, x, y))
    return problems


def contact_sheet(out, folder):
    """Review images: every picture on a grey sheet, and skin 216 with its buttons."""
    os.makedirs(folder, exist_ok=True)
    items = sorted(out.items(), key=lambda kv: (kv[0][0], kv[0][1]))
    small = [(k, v) for k, v in items if v.w * v.h < 300 * 300 and v.h < 120]
    cols, cell_w, cell_h = 6, 170, 100
    rows = (len(small) + cols - 1) // cols
    sheet = Image(cols * cell_w, rows * cell_h, 3, fill=(200, 200, 200))
    for n, ((folder_name, i), img) in enumerate(small):
        ox, oy = (n % cols) * cell_w + 4, (n // cols) * cell_h + 16
        for y in range(min(img.h, cell_h - 18)):
            for x in range(min(img.w, cell_w - 8)):
                px = img.get(x, y)
                if img.c == 4:
                    a = px[3]
                    px = tuple((px[k] * a + 200 * (255 - a)) // 255 for k in range(3))
                sheet.put(ox + x, oy + y, px)
        # id label as a tiny bar code of digits is overkill: mark by drawing nothing;
        # the SVG sheet below carries the numbers.
    write_png(sheet, os.path.join(folder, "sheet_raw.png"))
    # labelled sheet via SVG with embedded file references
    parts = []
    for n, ((folder_name, i), img) in enumerate(small):
        ox, oy = (n % cols) * cell_w, (n // cols) * cell_h
        parts.append(text(ox + 4, oy + 12, "%s %d (%dx%d)" % (folder_name[0], i, img.w, img.h),
                          10, "#000000", "normal", family="DejaVu Sans"))
    labels = render_svg("".join(parts), cols * cell_w, rows * cell_h)
    write_png(over(labels, sheet), os.path.join(folder, "sheet.png"))
    # skin 216 with the controls composited at their places
    s = Image(784, 612, 3, out[("bitmaps", 216)].data)

    def paste(img, x0, y0):
        for y in range(img.h):
            for x in range(img.w):
                s.put(x0 + x, y0 + y, img.get(x, y)[:3])
    for idx, c in enumerate(CATEGORIES):
        y = 107 + 69 * idx if c[0] != 1101 else 521
        state = c[1] if idx != 2 else (c[3] if idx == 2 else c[1])
        if idx == 4:
            state = c[4]
        if idx == 5:
            state = c[2]
        paste(out[("bitmaps", state)], 13, y)
    paste(out[("bitmaps", 300)], 694, 6)
    paste(out[("bitmaps", 294)], 724, 6)
    paste(out[("bitmaps", 149)], 612, 53)
    paste(out[("bitmaps", 151)], 658, 53)
    paste(out[("bitmaps", 152)], 705, 53)
    paste(out[("bitmaps", 195)], 474, 487)
    paste(out[("bitmaps", 144)], 566, 487)
    paste(out[("bitmaps", 202)], 633, 391)
    paste(out[("bitmaps", 203)], 633, 413)
    paste(out[("bitmaps", 259)], 633, 431)
    write_png(s, os.path.join(folder, "report_window.png"))
    # dialogs
    for sid, buttons in ((266, ((147, 84, 313), (135, 198, 313))),
                         (272, ((147, 43, 229), (135, 140, 229)))):
        src = out[("bitmaps", sid)]
        d = Image(src.w, src.h, 3, src.data)
        for bid, x0, y0 in buttons:
            b = out[("bitmaps", bid)]
            for y in range(b.h):
                for x in range(b.w):
                    d.put(x0 + x, y0 + y, b.get(x, y))
        write_png(d, os.path.join(folder, "dialog_%d.png" % sid))
    # mock-ups of the message box (style 16 and 0x24) and the password set-up
    def mock(name, sid, pieces, texts):
        src = out[("bitmaps", sid)]
        d = Image(src.w, src.h, 3, src.data)
        for bid, x0, y0 in pieces:
            b = out[("bitmaps", bid)]
            for y in range(b.h):
                for x in range(b.w):
                    d.put(x0 + x, y0 + y, b.get(x, y)[:3])
        svg = "".join(text(x, y, t, sz, col, "normal", anchor, family="NanumGothic")
                      for x, y, t, sz, col, anchor in texts)
        write_png(over(render_svg(svg, src.w, src.h), d), os.path.join(folder, name))
    cap = lambda w, t: (((w - 20) // 2), 24, t, 12, "#FFFFFF", "middle")
    mock("msgbox_stop.png", 266, ((271, 56, 94), (147, 141, 293)),
         (cap(368, ":: Veradex ::"), (104, 120, "인증에 실패하였습니다.", 12, "#000000", "start")))
    mock("msgbox_question.png", 266, ((270, 56, 102), (168, 93, 313), (143, 189, 313)),
         (cap(368, ":: Veradex ::"), (104, 120, "프로그램을 종료하시겠습니까?", 12, "#000000", "start")))
    mock("password_setup.png", 266, ((271, 61, 93), (147, 84, 289), (135, 182, 289)),
         (cap(368, "암호설정"), (120, 76, "프로그램 시작, 종료, 환경설정 등", 12, "#000", "start"),
          (48, 187, "암호 설정", 12, "#000", "start"), (48, 223, "암호 재확인", 12, "#000", "start")))
    mock("login.png", 272, ((147, 43, 229), (135, 140, 229)),
         (cap(283, "로그인"), (58, 140, "암호", 12, "#000", "start")))


DESKTOP = os.path.join(ROOT, "res", "desktop")
DESKTOP_SIZES = (16, 32, 48, 128, 256)


def desktop_icons():
    """The program's mark for menus and software centres: res/desktop/veradex.svg
    and res/desktop/veradex-<size>.png (installed into the hicolor theme)."""
    os.makedirs(DESKTOP, exist_ok=True)
    svg = ('<svg xmlns="http://www.w3.org/2000/svg" width="48" height="48" viewBox="0 0 48 48">%s</svg>\n'
           % logo(0, 0, 48))
    with open(os.path.join(DESKTOP, "veradex.svg"), "w", encoding="utf-8") as f:
        f.write(svg)
    for size in DESKTOP_SIZES:
        subprocess.run(["rsvg-convert", "-w", str(size), "-h", str(size), "-f", "png", "-o",
                        os.path.join(DESKTOP, "veradex-%d.png" % size), os.path.join(DESKTOP, "veradex.svg")],
                       check=True)
    print("wrote %s" % DESKTOP)


def main(argv):
    if "--desktop" in argv:
        desktop_icons()
        return 0
    out = build()
    for (folder, i), img in out.items():
        write_png(img, os.path.join(BITMAPS if folder == "bitmaps" else ICONS, "%d.png" % i))
    # check what was written, read back from disk
    problems = check({("bitmaps", i): read_png(os.path.join(BITMAPS, "%d.png" % i))
                      for i in (216, 266, 272)})
    total = sum(os.path.getsize(os.path.join(BITMAPS if f == "bitmaps" else ICONS, "%d.png" % i))
                for f, i in out)
    print("wrote %d images, %d bytes" % (len(out), total))
    if "--sheet" in argv:
        contact_sheet(out, argv[argv.index("--sheet") + 1])
    if problems:
        print("\n".join(problems))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

#!/usr/bin/env python3
"""Writes the eight report form templates res/pages/*.bak in code page 949.

The pages are written here in one place so that they share one look (the
palette of the program's skin: deep teal and navy, white, a warm amber accent)
and one set of field names. Run it after changing a page:

    tools/make_templates.py            # writes res/pages/*.bak
    tools/make_templates.py --check    # exits 1 when a .bak differs

Placeholders filled by the program when it writes a page:
  __name__ __email__ __tel1__ __tel2__ __tel3__      reporter
  __mtel1__ __mtel2__ __mtel3__                       reporter's mobile
  __singo_pw__                                        report password
  __now_year__ __before_year__ __the_before_year__    this year, -1, -2
  __SKT__ __KT__ __LGT__ __ETC__                      "selected" at the carrier
  __report_host__                                     the report host (every page)
Each page only carries the placeholders its category fills; anything else
would stay visible in the page.
"""

import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "res", "pages")

ACTION = "https://__report_host__/h_singo/singo.jsp"

STYLE = """\
html,body{margin:0;padding:0}
body{background:#f3f7f8;color:#22313d;font:13px/1.5 NanumGothic,'Nanum Gothic',sans-serif;overflow-x:hidden}
.top{background:#12506a;background:linear-gradient(#15607c,#0f4259);color:#fff;padding:11px 18px 9px;border-bottom:3px solid #e8833a}
.brand{font-size:11px;color:#b9dde6;letter-spacing:1px}
h1{margin:1px 0 2px;font-size:19px;font-weight:bold}
.top p{margin:0;font-size:12px;color:#d9ebf0}
form{margin:0;padding:4px 16px 20px}
h2{font-size:13px;color:#12506a;margin:13px 0 5px;padding-left:7px;border-left:4px solid #e8833a}
table{width:100%;border-collapse:collapse;table-layout:fixed;background:#fff;border:1px solid #c6d7dd}
th{width:116px;text-align:left;background:#e8f1f4;color:#1b4356;padding:6px 8px;border-bottom:1px solid #d8e5ea;vertical-align:middle;font-weight:bold}
td{padding:5px 8px;border-bottom:1px solid #e2ebee}
input,select,textarea{font:inherit;color:#22313d}
input[type=text],input[type=password],select,textarea{border:1px solid #a6bfc8;border-radius:3px;padding:3px 5px;box-sizing:border-box;max-width:100%;background:#fff}
select{-webkit-appearance:none;appearance:none;height:28px;padding-right:24px;background:#fff url("data:image/svg+xml,%3Csvg xmlns='http://www.w3.org/2000/svg' width='10' height='6'%3E%3Cpath d='M0 0h10L5 6z' fill='%2312506a'/%3E%3C/svg%3E") no-repeat right 8px center}
input[type=text],input[type=password]{height:28px}
input:focus,select:focus,textarea:focus{outline:none;border-color:#e8833a;box-shadow:0 0 0 2px #f8dcc6}
.w{width:100%}
.h{width:60%}
.n{width:58px;text-align:center}
.d{width:auto}
.dt{width:112px}
textarea{width:100%;height:70px;resize:vertical}
.req{color:#d0651c;font-weight:bold}
.hint{font-size:11px;color:#667a84}
.error{color:#c0392b;font-weight:bold;margin:8px 2px 0}
.error:empty{display:none}
.note{font-size:11px;color:#5a6d77;margin:8px 2px 0}
.btns{text-align:center;margin-top:13px}
.btns input{font-weight:bold;padding:6px 22px;margin:0 4px;border-radius:3px;cursor:pointer}
.go{background:#e8833a;border:1px solid #c8681f;color:#fff}
.go:hover{background:#f0954f}
.back{background:#fff;border:1px solid #12506a;color:#12506a}
.link{margin:12px 2px 0;font-size:12px}
.link a{color:#12506a;font-weight:bold}
"""


def head(title):
    return (
        "<!DOCTYPE html>\n"
        "<html lang=\"ko\">\n"
        "<head>\n"
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=euc-kr\">\n"
        "<meta name=\"viewport\" content=\"width=device-width\">\n"
        f"<title>{title}</title>\n"
        "<style type=\"text/css\">\n" + STYLE + "</style>\n"
        "</head>\n"
        "<body>\n"
    )


def banner(title, lead):
    return (
        "<div class=\"top\">\n"
        "<div class=\"brand\">DUNMERE 스팸 신고 센터</div>\n"
        f"<h1>{title}</h1>\n"
        f"<p>{lead}</p>\n"
        "</div>\n"
    )


def form_start(kind):
    return (
        f"<form method=\"post\" action=\"{ACTION}\" accept-charset=\"euc-kr\">\n"
        f"<input type=\"hidden\" name=\"singo_type\" value=\"{kind}\">\n"
    )


def req():
    return " <span class=\"req\">*</span>"


# What a screen reader calls the parts of a field that has several (by the
# end of their names).
PART_NAMES = {"1": "앞자리", "2": "가운데자리", "3": "뒷자리", "_year": "연도", "_month": "월", "_day": "일",
              "_time": "시각"}
FIELD_RE = re.compile(r'<(?:input type="(?:text|password)"|select|textarea) name="([^"]+)"([^>]*)>')


def labelled(label, cell):
    """Gives every field of a row's cell its label (aria-label: the label is
    the row's heading, not a <label>) and marks required fields."""
    def add(match):
        name, rest = match.group(1), match.group(2)
        text = "통신사" if name == "mcomtel" else label
        for end, part in PART_NAMES.items():
            if name.endswith(end) and name != "mcomtel":
                text = f"{label} {part}"
        extra = f" aria-label=\"{text}\""
        if " required" in rest:
            extra += " aria-required=\"true\""
        return match.group(0)[:-1] + extra + ">"
    return FIELD_RE.sub(add, cell)


def row(label, cell, required=False):
    return f"<tr><th>{label}{req() if required else ''}</th><td>{labelled(label, cell)}</td></tr>\n"


def text(name, value="", cls="w", placeholder="", required=False, maxlength=None):
    attrs = f" class=\"{cls}\"" if cls else ""
    if value:
        attrs += f" value=\"{value}\""
    if placeholder:
        attrs += f" placeholder=\"{placeholder}\""
    if maxlength:
        attrs += f" maxlength=\"{maxlength}\""
    if required:
        attrs += " required"
    return f"<input type=\"text\" name=\"{name}\"{attrs}>"


def password(name, value="", required=True):
    value_attr = f" value=\"{value}\"" if value else ""
    return (f"<input type=\"password\" name=\"{name}\" class=\"h\" maxlength=\"12\"{value_attr}"
            f"{' required' if required else ''}>")


def number3(prefix, values=("", "", ""), required=False):
    parts = []
    for i, value in enumerate(values, start=1):
        parts.append(text(f"{prefix}{i}", value, cls="n", maxlength=4, required=required and i == 1))
    return " - ".join(parts)


def textarea(name, placeholder, required=True):
    return (f"<textarea name=\"{name}\" placeholder=\"{placeholder}\"{' required' if required else ''}>"
            "</textarea>")


def select(name, options, cls="d"):
    """options: (value, label[, extra attribute text]) tuples."""
    out = [f"<select name=\"{name}\" class=\"{cls}\">"]
    for option in options:
        value, label = option[0], option[1]
        extra = f" {option[2]}" if len(option) > 2 else ""
        out.append(f"<option value=\"{value}\"{extra}>{label}</option>")
    out.append("</select>")
    return "\n".join(out)


def date_selects(prefix):
    """Year from the three year placeholders, then month and day."""
    years = select(f"{prefix}_year", [
        ("__now_year__", "__now_year__년"),
        ("__before_year__", "__before_year__년"),
        ("__the_before_year__", "__the_before_year__년"),
    ])
    months = select(f"{prefix}_month", [(f"{m:02d}", f"{m}월") for m in range(1, 13)])
    days = select(f"{prefix}_day", [(f"{d:02d}", f"{d}일") for d in range(1, 32)])
    return f"{years} {months} {days}"


def carrier_select():
    return select("mcomtel", [
        ("SKT", "SKT", "__SKT__"),
        ("KT", "KT", "__KT__"),
        ("LGT", "LGT", "__LGT__"),
        ("기타", "기타", "__ETC__"),
    ])


def reporter(mobile="none", carrier=False):
    """The reporter's section. mobile: "filled" (mobile placeholders),
    "empty" (fields to type in) or "none"."""
    rows = [
        row("이름", text("name", "__name__", cls="h", maxlength=20, required=True), True),
        row("전자우편", text("email", "__email__", placeholder="예: hong@example.com", required=True), True),
        row("전화번호", number3("tel", ("__tel1__", "__tel2__", "__tel3__"), required=True), True),
    ]
    if mobile != "none":
        values = ("__mtel1__", "__mtel2__", "__mtel3__") if mobile == "filled" else ("", "", "")
        cell = number3("mtel", values)
        if carrier:
            cell += " " + carrier_select()
        rows.append(row("휴대전화", cell))
    elif carrier:
        rows.append(row("통신사", carrier_select()))
    rows.append(row("민원 비밀번호",
                    password("singo_pw", "__singo_pw__") +
                    " <span class=\"hint\">처리 결과 확인용</span>", True))
    return "<h2>신고인 정보</h2>\n<table>\n" + "".join(rows) + "</table>\n"


def closing(submit="신고하기", note=True):
    out = ""
    if note:
        out += ("<p class=\"note\"><span class=\"req\">*</span> 표시는 꼭 적어 주십시오. "
                "신고인 정보는 프로그램의 개인정보 설정에서 미리 넣어 둘 수 있습니다.</p>\n")
    # Where the page says what is missing; read out as soon as it is written.
    out += "<p class=\"error\" role=\"alert\" aria-live=\"assertive\"></p>\n"
    out += ("<div class=\"btns\">"
            f"<input type=\"submit\" class=\"go\" value=\"{submit}\">"
            "<input type=\"reset\" class=\"back\" value=\"다시 쓰기\">"
            "</div>\n")
    return out


# Date selects start at today's month and day (the year list starts at this year).
TODAY_SCRIPT = (
    "<script type=\"text/javascript\">\n"
    "(function () {\n"
    "  var form = document.forms[0], now = new Date();\n"
    "  if (form && form.spam_month && form.spam_day) {\n"
    "    form.spam_month.options[now.getMonth()].defaultSelected = true;\n"
    "    form.spam_day.options[now.getDate() - 1].defaultSelected = true;\n"
    "  }\n"
    "})();\n"
    "</script>\n")


# A field left empty is named in the page's alert (a screen reader reads it
# out); typing clears it.
ERROR_SCRIPT = (
    "<script type=\"text/javascript\">\n"
    "(function () {\n"
    "  var form = document.forms[0], out = document.querySelector(\".error\");\n"
    "  if (!form || !out) return;\n"
    "  form.addEventListener(\"invalid\", function (event) {\n"
    "    if (out.textContent) return;\n"
    "    var field = event.target;\n"
    "    out.textContent = (field.getAttribute(\"aria-label\") || field.name) + \": 꼭 적어 주십시오.\";\n"
    "  }, true);\n"
    "  form.addEventListener(\"input\", function () { out.textContent = \"\"; });\n"
    "  form.addEventListener(\"submit\", function () { out.textContent = \"\"; });\n"
    "})();\n"
    "</script>\n")


def page(title, lead, kind, spam_heading, spam_rows, reporter_section, submit="신고하기"):
    body = "".join(spam_rows)
    script = ERROR_SCRIPT + (TODAY_SCRIPT if "spam_month" in body else "")
    return (head(title) + banner(title, lead) + form_start(kind) +
            f"<h2>{spam_heading}</h2>\n<table>\n" + body + "</table>\n" +
            reporter_section + closing(submit) + "</form>\n" + script + "</body>\n</html>\n")


PAGES = {}

PAGES["PHONE_SPAM.bak"] = page(
    "전화 스팸 신고",
    "원하지 않는 광고 전화나 문자 메시지를 받으셨다면 아래 내용을 적어 신고해 주십시오.",
    "phone", "받은 스팸",
    [
        row("보낸 번호", text("spam_tel", placeholder="예: 060-123-4567", cls="h", required=True), True),
        row("받은 날짜", text("spam_date", placeholder="예: 2009-05-01", cls="dt") +
            " " + text("spam_time", placeholder="14:30", cls="n"), True),
        row("스팸 종류", select("spam_kind", [
            ("voice", "광고 전화(음성)"), ("sms", "문자 메시지(SMS)"), ("mms", "멀티미디어 메시지(MMS)"),
            ("ring", "원링 스팸(한 번 울리고 끊김)"), ("etc", "기타")])),
        row("광고 내용", textarea("spam_content", "전화나 문자로 받은 광고 내용을 적어 주십시오."), True),
    ],
    reporter(mobile="filled", carrier=True))

PAGES["EMAILRETURN_SPAM.bak"] = page(
    "수신거부 후 재전송 신고",
    "수신을 거부했는데도 다시 광고 메일을 받으셨다면 신고해 주십시오.",
    "email_return", "수신거부 내용",
    [
        row("보낸 곳 주소", text("spam_email", placeholder="광고 메일을 보낸 전자우편 주소", required=True), True),
        row("받은 주소", text("recv_email", "__email__", placeholder="광고 메일을 받은 내 주소")),
        row("수신거부한 날", text("reject_date", placeholder="예: 2009-05-01", cls="dt"),
            True),
        row("다시 받은 날", text("resend_date", placeholder="예: 2009-05-08", cls="dt"),
            True),
        row("거부한 방법", select("reject_way", [
            ("link", "메일 속 수신거부 링크"), ("reply", "회신 메일"), ("homepage", "보낸 곳 홈페이지"),
            ("phone", "전화"), ("etc", "기타")])),
        row("메일 제목·내용", textarea("spam_content", "다시 받은 메일의 제목과 내용을 적어 주십시오."), True),
    ],
    reporter())

PAGES["BOARD_SPAM.bak"] = page(
    "게시판 스팸 신고",
    "인터넷 게시판이나 댓글에 올라온 광고 글을 신고해 주십시오.",
    "board", "광고 글 정보",
    [
        row("사이트 주소", text("site_url", placeholder="예: http://www.example.com", required=True), True),
        row("게시판·글 주소", text("board_url", placeholder="광고 글이 올라온 게시판이나 글의 주소")),
        row("올라온 날", date_selects("spam")),
        row("광고 내용", textarea("spam_content", "게시판에 올라온 광고 글의 내용을 적어 주십시오."), True),
    ],
    reporter(mobile="empty", carrier=True))

PAGES["Elec_Spam.bak"] = page(
    "전자매체 스팸 신고",
    "메신저, 쪽지, 팝업 창처럼 전자매체로 받은 광고를 신고해 주십시오.",
    "elec", "받은 광고",
    [
        row("매체 종류", select("media_kind", [
            ("messenger", "메신저"), ("note", "쪽지"), ("popup", "팝업 광고"),
            ("voip", "인터넷 전화"), ("etc", "기타")])),
        row("보낸 곳", text("spam_sender", placeholder="보낸 사람의 아이디, 주소 또는 번호", required=True), True),
        row("받은 날", date_selects("spam")),
        row("광고 내용", textarea("spam_content", "받은 광고의 내용을 적어 주십시오."), True),
    ],
    reporter())

PAGES["Fax_Spam.bak"] = page(
    "팩스 스팸 신고",
    "원하지 않는 광고 팩스를 받으셨다면 신고해 주십시오.",
    "fax", "받은 팩스",
    [
        row("보낸 팩스 번호", text("spam_fax", placeholder="예: 02-123-4567", cls="h", required=True), True),
        row("받은 팩스 번호", text("recv_fax", placeholder="광고 팩스를 받은 번호", cls="h")),
        row("받은 날", date_selects("spam")),
        row("광고한 업체", text("spam_company", placeholder="업체 이름과 연락처")),
        row("광고 내용", textarea("spam_content", "팩스로 받은 광고의 내용을 적어 주십시오."), True),
    ],
    reporter())

PAGES["code_spam.bak"] = page(
    "악성 코드 신고",
    "광고를 띄우거나 몰래 설치되는 악성 프로그램을 신고해 주십시오.",
    "code", "악성 코드 정보",
    [
        row("퍼뜨린 사이트", text("site_url", placeholder="예: http://www.example.com", required=True), True),
        row("프로그램 이름", text("program_name", placeholder="설치된 프로그램이나 파일의 이름")),
        row("발견한 날", date_selects("spam")),
        row("나타난 증상", select("symptom", [
            ("popup", "원하지 않는 광고 창"), ("homepage", "시작 페이지 바뀜"),
            ("install", "프로그램이 몰래 설치됨"), ("shortcut", "바로가기·즐겨찾기 추가"), ("etc", "기타")])),
        row("자세한 내용", textarea("spam_content", "언제, 어떻게 설치되었고 어떤 일이 생기는지 적어 주십시오."), True),
    ],
    reporter())

PAGES["search.bak"] = (
    head("신고 민원 확인") +
    banner("신고 민원 확인", "휴대전화 번호와 민원 비밀번호로 지금까지 접수한 신고의 처리 결과를 확인합니다.") +
    form_start("search") +
    "<h2>조회할 민원</h2>\n<table>\n" +
    row("휴대전화", number3("mtel", ("__mtel1__", "__mtel2__", "__mtel3__"), required=True), True) +
    row("민원 비밀번호", password("singo_pw", "__singo_pw__"), True) +
    "</table>\n" +
    closing("조회하기", note=False) +
    "<p class=\"link\">2006년 이전에 접수한 민원은 "
    "<a href=\"search_2006.html\">이전 민원 조회</a>에서 확인하십시오.</p>\n"
    "</form>\n" + ERROR_SCRIPT + "</body>\n</html>\n")

PAGES["search_2006.bak"] = (
    head("이전 민원 조회") +
    banner("이전 민원 조회", "2006년 이전에 접수한 신고는 접수 번호와 민원 비밀번호로 확인합니다.") +
    form_start("search_2006") +
    "<h2>조회할 민원</h2>\n<table>\n" +
    row("접수 번호", text("receipt_no", placeholder="예: 2005-012345", cls="h", required=True), True) +
    row("이름", text("name", cls="h", maxlength=20, required=True), True) +
    row("민원 비밀번호", password("singo_pw"), True) +
    "</table>\n" +
    closing("조회하기", note=False) +
    "<p class=\"link\"><a href=\"search.html\">휴대전화 번호로 조회</a>로 돌아가기</p>\n"
    "</form>\n" + ERROR_SCRIPT + "</body>\n</html>\n")


def main():
    check = "--check" in sys.argv[1:]
    differs = []
    for name, html in PAGES.items():
        data = html.encode("cp949")
        path = os.path.join(OUT, name)
        if check:
            try:
                with open(path, "rb") as f:
                    if f.read() != data:
                        differs.append(name)
            except OSError:
                differs.append(name)
        else:
            os.makedirs(OUT, exist_ok=True)
            with open(path, "wb") as f:
                f.write(data)
    if check and differs:
        print("make_templates: out of date: " + ", ".join(differs), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())

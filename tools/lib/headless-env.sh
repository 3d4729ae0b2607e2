# Sourced by the scripts that run windows without a screen (tools/test.sh,
# tools/screenshots.sh): the environment GTK and WebKitGTK need there, and
# headless_run, which runs a command on a virtual display (Xvfb) with a
# private session bus.

# Settings kept in memory instead of a desktop's settings service.
export GSETTINGS_BACKEND=memory
# No accessibility bus, and no GPU compositing for the embedded browser.
export NO_AT_BRIDGE=1
export WEBKIT_DISABLE_COMPOSITING_MODE=1
export LANG=C.UTF-8
# WebKitGTK refuses to start its sandbox as root; switch it off for these runs only.
if [ "$(id -u)" -eq 0 ]; then
  export WEBKIT_FORCE_SANDBOX=0 WEBKIT_DISABLE_SANDBOX_THIS_IS_DANGEROUS=1
fi

# The root window stays black, so the cut-away corners of shaped windows show
# in pictures of the screen.
VERADEX_SCREEN="${VERADEX_SCREEN:-1280x1024x24}"

headless_run() {
  xvfb-run -a -s "-screen 0 $VERADEX_SCREEN" dbus-run-session -- "$@"
}

#!/usr/bin/env bash
# The bar on XFCE's panel, a StatusNotifierItem watcher and host, under IceWM, by real clicks.
set -euo pipefail
program="$1"
source "$(dirname "$0")/../support/desktop.sh"
export QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=dummy HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
command -v xfce4-panel >/dev/null || skip "xfce4-panel is not installed"
shots="${IXO_ARTEFACTS:-$PWD/artefacts}" && mkdir -p "$shots"

# A panel along the top holding the tray plugin alone.
panel_config="$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml"
mkdir -p "$panel_config"
cat >"$panel_config/xfce4-panel.xml" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0"><property name="configver" type="int" value="2"/>
  <property name="panels" type="array"><value type="int" value="1"/><property name="panel-1" type="empty">
    <property name="position" type="string" value="p=6;x=0;y=0"/><property name="length" type="uint" value="100"/>
    <property name="position-locked" type="bool" value="true"/><property name="size" type="uint" value="32"/>
    <property name="plugin-ids" type="array"><value type="int" value="1"/></property></property></property>
  <property name="plugins" type="empty"><property name="plugin-1" type="string" value="systray"/></property>
</channel>
EOF
# The panel's settings daemon is started by the bus, with the bus's environment.
dbus-update-activation-environment HOME XDG_CONFIG_HOME

watcher() {
    dbus-send --session --print-reply --dest=org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
        org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierWatcher "string:$1"
}
items() { watcher RegisteredStatusNotifierItems | grep -c 'string ":' || true; }
panel_strip() { import -window root -crop 1024x32+0+0 -depth 8 rgb:-; }
# The panel draws the item itself, so it is found as the columns that changed when it came.
item_centre() {
    convert -size 1024x32 -depth 8 "rgb:$1" "rgb:$2" -compose difference -composite -bordercolor black -border 1 \
        -format %@ info: 2>/dev/null | awk -F'[x+]' '$1 > 0 {print $3 - 1 + int($1 / 2)}'
}
to_tray() {
    xdotool windowminimize "$bar"
    within 10 eval '[ "$(items)" = 1 ]' || fail "minimised, the bar registered no item with the watcher"
    within 10 eval "! bar_viewable" || fail "the bar is still on screen beside its item"
    icon_shown || fail "the panel shows no icon for the item"
}
icon_shown() {
    within 10 eval 'panel_strip >"$work/after.rgb"; x=$(item_centre "$work/before.rgb" "$work/after.rgb"); [ -n "$x" ]'
}
# A left click on the icon; a panel still laying out its icons on a loaded machine may let the
# first go by, so it is made again, where the icon is then.
left_click() {
    for _ in 1 2 3; do
        icon_shown && xdotool mousemove "$x" 16 click 1 mousemove 500 400
        within 4 bar_viewable && return
    done
}
menu_open() {
    local id
    # The tray plugin runs in a process of its own, the panel's plugin wrapper.
    for id in $(xwininfo -root -tree | awk '/"(xfce4-panel|wrapper-2.0)"/ {print $1}'); do
        xprop -id "$id" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q POPUP_MENU &&
            xwininfo -id "$id" | grep -q IsViewable && return 0
    done
    return 1
}
# The labels of the menu the item hands the panel, over DBusMenu.
menu_labels() {
    local item service path
    item=$(watcher RegisteredStatusNotifierItems | grep -o '"[^"]*"' | tr -d '"' | head -1)
    service=${item%%/*}
    path=$(dbus-send --session --print-reply --dest="$service" "/${item#*/}" org.freedesktop.DBus.Properties.Get \
        string:org.kde.StatusNotifierItem string:Menu | awk '/object path/ {gsub(/"/, "", $NF); print $NF}')
    dbus-send --session --print-reply --dest="$service" "$path" com.canonical.dbusmenu.GetLayout int32:0 int32:-1 \
        array:string:label | grep -A1 '"label"' | grep -o 'string "[^"]*"' | grep -v '"label"' | cut -d'"' -f2 | paste -sd' '
}
back_on_top() {
    back_above "$1"
    within 10 eval '[ "$(items)" = 0 ]' || fail "$1: the item stayed with the watcher"
}

start_x
echo "ShowTaskBar=0" >"$work/home/.icewm/preferences"
HOME="$work/home" icewm 2>"$work/icewm.log" &
pids+=($!)
xfce4-panel 2>"$work/panel.log" &
pids+=($!)
within 60 eval 'watcher IsStatusNotifierHostRegistered | grep -q "boolean true"' ||
    skip "XFCE's panel registered no StatusNotifierItem host: $(tail -2 "$work/panel.log")"
sleep 1 # the panel's first frame, before which the strip is not yet its own
panel_strip >"$work/before.rgb"

# A long tone, so that the menu's commands meet a song still playing.
python3 -c 'import math, struct, sys
sys.stdout.buffer.write(b"".join(struct.pack("<h", int(8000 * math.sin(i / 16))) for i in range(44100 * 60)))' |
    lame --quiet -r -s 44.1 -m m --signed --little-endian - "$work/tonua.mp3"
status() {
    dbus-send --session --print-reply --dest=org.mpris.MediaPlayer2.ixomp3 /org/mpris/MediaPlayer2 \
        org.freedesktop.DBus.Properties.Get string:org.mpris.MediaPlayer2.Player string:PlaybackStatus |
        grep -o '"[A-Za-z]*"' | tr -d '"'
}
start_program "$work/tonua.mp3"

# A StatusNotifierItem has no double click: a left click on the icon brings the bar back.
to_tray
left_click
back_on_top "a left click on the icon"
echo "ok: minimised into the panel's tray, back above others on a left click"

# A right click opens the program's menu, drawn by the panel; its first item brings the bar back.
to_tray
labels=$(menu_labels)
[ "$labels" = "Haundiagotu Aurrera Amaitu Gelditu Hasi Atzera" ] || fail "the item's menu reads \"$labels\""
# Its items drive the hidden bar: "Amaitu" (the third) stops, "Hasi" (the fifth) plays.
menu_choose() {
    xdotool mousemove "$x" 16 click 3
    within 10 menu_open || fail "a right click on the icon opened no menu"
    [ "$1" != 1 ] || import -window root "$shots/sni-menu.png"
    for _ in $(seq "$1"); do xdotool key Down; done
    xdotool key Return mousemove 500 400
}
menu_choose 3
within 10 eval '[ "$(status)" = Stopped ]' || fail "\"Amaitu\" in the panel's menu left the player $(status)"
menu_choose 5
within 10 eval '[ "$(status)" = Playing ]' || fail "\"Hasi\" in the panel's menu left the player $(status)"
bar_viewable && fail "the menu's commands brought the bar back"
menu_choose 1
back_on_top "\"Haundiagotu\" in the panel's menu"
echo "ok: the right click opens the program's menu; \"Amaitu\" and \"Hasi\" drive the hidden bar, \"Haundiagotu\" brings it back"
import -window root "$shots/sni-restored.png"

#!/usr/bin/env bash
# one_window_test.sh PROGRAM
#
# Starts the program on a virtual X display of its own with a real window
# manager (openbox) and checks what a desktop shows of it: the backdrop and the
# menu are both named "ORV - Quenbria", but only the backdrop is a window of
# the task list; the menu is its transient, kept above it by the window
# manager, also after the backdrop is brought to the front.
set -euo pipefail

programa=$1
for orden in Xvfb openbox wmctrl xprop; do
    command -v "$orden" >/dev/null || { echo "Falta $orden (./dev instala xvfb, openbox, wmctrl y x11-utils)." >&2; exit 1; }
done

trabajo=$(mktemp -d)
pids=()
terminar() {
    # The program, the window manager and the display, in that order.
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null || true
        wait "${pids[i]}" 2>/dev/null || true
    done
    rm -rf "$trabajo"
}
trap terminar EXIT

# esperar SEGUNDOS ORDEN...: true once ORDEN succeeds within the time.
esperar() {
    local limite=$((SECONDS + $1))
    shift
    until "$@" >/dev/null 2>&1; do
        [ "$SECONDS" -lt "$limite" ] || return 1
        sleep 0.2
    done
}

# A display of its own with openbox on it. A busy machine may lose the race
# for a display number or start a server too slowly: up to three tries, each
# on the next free number.
desde=90
arrancado=
for intento in 1 2 3; do
    pantalla=
    for n in $(seq "$desde" 190); do
        if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
            pantalla=$n
            break
        fi
    done
    [ -n "$pantalla" ] || { echo "No hay un número de pantalla libre." >&2; exit 1; }
    desde=$((pantalla + 1))
    export DISPLAY=:$pantalla
    Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >"$trabajo/xvfb.log" 2>&1 &
    xvfb=$!
    if esperar 30 xprop -root && kill -0 "$xvfb" 2>/dev/null; then
        openbox --sm-disable >"$trabajo/openbox.log" 2>&1 &
        wm=$!
        if esperar 30 wmctrl -m; then
            pids+=("$xvfb" "$wm")
            arrancado=1
            break
        fi
        kill "$wm" 2>/dev/null || true
        wait "$wm" 2>/dev/null || true
    fi
    echo "Intento $intento en $DISPLAY sin pantalla o sin openbox:" >&2
    cat "$trabajo/xvfb.log" "$trabajo/openbox.log" 2>/dev/null >&2 || true
    kill "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
done
[ -n "$arrancado" ] || { echo "Xvfb con openbox no arrancó." >&2; exit 1; }

# The program with a home of its own (its registry is created there).
mkdir -p "$trabajo/casa"
HOME="$trabajo/casa" XDG_DATA_HOME="$trabajo/casa/datos" XDG_CONFIG_HOME="$trabajo/casa/config" \
    QT_QPA_PLATFORM=xcb ASAN_OPTIONS=detect_leaks=0 "$programa" >"$trabajo/orv.log" 2>&1 &
pids+=($!)

titulo="ORV - Quenbria"
ventanas() { wmctrl -l | awk -v t="$titulo" '{id=$1; $1=$2=$3=""; sub(/^ +/, ""); if ($0 == t) print id}'; }
dos_ventanas() { [ "$(ventanas | wc -l)" -ge 2 ]; }
if ! esperar 60 dos_ventanas; then
    echo "No aparecieron las dos ventanas \"$titulo\":" >&2
    wmctrl -l >&2 || true
    cat "$trabajo/orv.log" >&2
    exit 1
fi
# The owner hint may follow the windows by a moment on a busy machine: wait
# for it a while (a program that never sets it fails below all the same).
hay_transitoria() {
    for id in $(ventanas); do
        xprop -id "$id" WM_TRANSIENT_FOR | grep -q 'window id' && return 0
    done
    return 1
}
esperar 10 hay_transitoria || true
sleep 1  # let the window manager finish placing both

fallas=0
falla() {
    echo "FALLA: $*" >&2
    fallas=$((fallas + 1))
}

# A window of the task list: neither transient for another, nor of a type
# other than normal, nor asking to be left out of the task bar.
de_la_lista=()
transitorias=()
for id in $(ventanas); do
    propiedades=$(xprop -id "$id" WM_TRANSIENT_FOR _NET_WM_WINDOW_TYPE _NET_WM_STATE)
    echo "== $id"
    sed 's/^/  /' <<<"$propiedades"
    dueno=$(sed -n 's/^WM_TRANSIENT_FOR(WINDOW): window id # \(0x[0-9a-f]*\).*/\1/p' <<<"$propiedades")
    tipo=$(sed -n 's/^_NET_WM_WINDOW_TYPE(ATOM) = //p' <<<"$propiedades")
    if [ -n "$dueno" ]; then
        transitorias+=("$id:$dueno")
    elif grep -q '_NET_WM_STATE_SKIP_TASKBAR' <<<"$propiedades"; then
        :
    elif [ -z "$tipo" ] || [[ "$tipo" == _NET_WM_WINDOW_TYPE_NORMAL* ]]; then
        de_la_lista+=("$id")
    fi
done
[ "${#de_la_lista[@]}" -eq 1 ] && echo "  bien: una sola ventana \"$titulo\" en la lista de tareas" ||
    falla "${#de_la_lista[@]} ventanas \"$titulo\" en la lista de tareas: ${de_la_lista[*]}"

# The menu is the transient of the backdrop, the one window of the list.
menu=
if [ "${#transitorias[@]}" -eq 1 ] && [ "${#de_la_lista[@]}" -eq 1 ]; then
    menu=${transitorias[0]%%:*}
    dueno=${transitorias[0]##*:}
    fondo=${de_la_lista[0]}
    [ $((dueno)) -eq $((fondo)) ] && echo "  bien: el menú es transitorio del fondo" ||
        falla "el menú es transitorio de $dueno, no del fondo $fondo"
    # Kept above the backdrop, also after the backdrop is activated.
    encima() {
        local pila
        pila=$(xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //' | tr ',' '\n' | sed 's/ //g')
        local pos_menu=-1 pos_fondo=-1 i=0
        for v in $pila; do
            [ $((v)) -eq $((menu)) ] && pos_menu=$i
            [ $((v)) -eq $((fondo)) ] && pos_fondo=$i
            i=$((i + 1))
        done
        [ "$pos_menu" -gt "$pos_fondo" ] && [ "$pos_fondo" -ge 0 ]
    }
    encima && echo "  bien: el menú está encima del fondo" || falla "el menú no está encima del fondo"
    wmctrl -i -a "$fondo"
    sleep 1
    esperar 5 encima && echo "  bien: el menú sigue encima del fondo activado" || falla "el fondo activado tapa el menú"
else
    falla "se esperaba una ventana transitoria (el menú), hay ${#transitorias[@]}"
fi

# The menu's close box ends the program.
if [ -n "$menu" ]; then
    wmctrl -i -c "$menu"
    programa_termino() { ! kill -0 "${pids[2]}" 2>/dev/null; }
    esperar 30 programa_termino && echo "  bien: cerrar el menú termina el programa" ||
        falla "el programa sigue abierto después de cerrar el menú"
fi

[ "$fallas" -eq 0 ] || { cat "$trabajo/orv.log" >&2; exit 1; }
echo "El programa muestra una sola ventana en la lista de tareas."

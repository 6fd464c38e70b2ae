#!/usr/bin/env bash
# A private PostgreSQL server for the tests, in a folder of its own.
#
#   tests/servidor_pg.sh iniciar CARPETA   makes the cluster, starts it and
#                                         writes CARPETA/conexion (a URL)
#   tests/servidor_pg.sh detener CARPETA   stops it (immediately) and removes CARPETA
#   tests/servidor_pg.sh reiniciar CARPETA starts a stopped server again
#   tests/servidor_pg.sh parar CARPETA     stops it and keeps CARPETA
#
# The server runs as an unprivileged user (postgres when the tests run as
# root), listens on 127.0.0.1 on a free port and on a socket in CARPETA,
# and trusts no one: the superuser "orv_prueba" logs in with a password.
# It speaks TLS with a certificate for 127.0.0.1 signed by a test authority
# (CARPETA/ca.crt; CARPETA/otra-ca.crt is an authority that signed nothing).
# pg_hba.conf refuses the user orv_rechazado and lets orv_md5 log in with
# md5 (no SCRAM, so no channel binding).
#
# CARPETA and everything in it (the superuser's password among them) is
# readable by its owner only.
set -euo pipefail
umask 077

orden=${1:?uso: servidor_pg.sh iniciar|detener|reiniciar|parar CARPETA}
carpeta=${2:?falta la carpeta del servidor}

bin=""
for d in /usr/lib/postgresql/*/bin; do
    [ -x "$d/initdb" ] && bin=$d
done
if [ -z "$bin" ]; then
    echo "No se encuentra PostgreSQL (initdb); instale el paquete postgresql." >&2
    exit 1
fi

como() {  # runs a command as the server's user
    if [ "$(id -u)" -eq 0 ]; then
        runuser -u postgres -- "$@"
    else
        "$@"
    fi
}

datos="$carpeta/datos"
registro="$carpeta/servidor.log"

iniciar_servidor() {
    local puerto
    puerto=$(cat "$carpeta/puerto")
    if ! como "$bin/pg_ctl" -D "$datos" -l "$registro" -w -t 30 \
        -o "-p $puerto -k $carpeta -c listen_addresses=127.0.0.1 -c fsync=off -c ssl=on \
            -c ssl_cert_file=$carpeta/servidor.crt -c ssl_key_file=$carpeta/servidor.key" start >/dev/null; then
        echo "El servidor PostgreSQL de prueba no arrancó:" >&2
        cat "$registro" >&2 || true
        exit 1
    fi
}

case "$orden" in
iniciar)
    rm -rf "$carpeta"
    mkdir -p "$carpeta"
    [ "$(id -u)" -eq 0 ] && chown postgres: "$carpeta"
    chmod 700 "$carpeta"
    clave=$(head -c 18 /dev/urandom | base64 | tr -d '/+=')
    printf '%s\n' "$clave" > "$carpeta/clave"
    [ "$(id -u)" -eq 0 ] && chown postgres: "$carpeta/clave"
    como "$bin/initdb" -D "$datos" -U orv_prueba --pwfile="$carpeta/clave" -A scram-sha-256 \
        -E UTF8 --locale=C.UTF-8 >"$carpeta/initdb.log" 2>&1 || {
        echo "initdb falló:" >&2
        cat "$carpeta/initdb.log" >&2
        exit 1
    }
    # The test authority, the server's certificate it signs, and an
    # authority that signed nothing.
    (
        cd "$carpeta"
        openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.crt -days 3 \
            -subj "/CN=Autoridad de prueba de ORV" 2>/dev/null
        openssl req -x509 -newkey rsa:2048 -nodes -keyout otra-ca.key -out otra-ca.crt -days 3 \
            -subj "/CN=Otra autoridad" 2>/dev/null
        openssl req -newkey rsa:2048 -nodes -keyout servidor.key -out servidor.csr -subj "/CN=127.0.0.1" 2>/dev/null
        printf 'subjectAltName=IP:127.0.0.1\n' > servidor.ext
        openssl x509 -req -in servidor.csr -CA ca.crt -CAkey ca.key -CAcreateserial -out servidor.crt -days 3 \
            -extfile servidor.ext 2>/dev/null
        rm -f ca.key otra-ca.key servidor.csr servidor.ext ca.srl
    ) || { echo "No se pudieron crear los certificados de prueba (openssl)." >&2; exit 1; }
    [ "$(id -u)" -eq 0 ] && chown postgres: "$carpeta/servidor.key" "$carpeta/servidor.crt"
    {
        printf 'host all orv_rechazado 127.0.0.1/32 reject\n'
        printf 'host all orv_md5 127.0.0.1/32 md5\n'
        cat "$datos/pg_hba.conf"
    } > "$carpeta/pg_hba.nuevo"
    cat "$carpeta/pg_hba.nuevo" > "$datos/pg_hba.conf"
    rm -f "$carpeta/pg_hba.nuevo"
    # A free port: one nobody answers on; another program may still take
    # it first, so a failed start tries another.
    iniciado=0
    for _ in 1 2 3 4 5 6 7 8; do
        puerto=$((20000 + RANDOM % 30000))
        (exec 3<>"/dev/tcp/127.0.0.1/$puerto") 2>/dev/null && continue
        echo "$puerto" > "$carpeta/puerto"
        if (iniciar_servidor) 2>/dev/null; then
            iniciado=1
            break
        fi
    done
    [ "$iniciado" -eq 1 ] || iniciar_servidor
    como env PGPASSWORD="$clave" "$bin/createdb" -h 127.0.0.1 -p "$puerto" -U orv_prueba orv_prueba </dev/null
    # The tests run as the folder's owner, or as root: no one else may
    # read the password.
    printf 'postgresql://orv_prueba:%s@127.0.0.1:%s/orv_prueba\n' "$clave" "$puerto" > "$carpeta/conexion"
    chmod 600 "$carpeta/clave" "$carpeta/conexion"
    echo "Servidor de prueba en 127.0.0.1:$puerto ($carpeta)"
    ;;
reiniciar)
    iniciar_servidor
    ;;
parar)
    como "$bin/pg_ctl" -D "$datos" -m immediate -w stop >/dev/null 2>&1 || true
    ;;
detener)
    if [ -d "$datos" ]; then
        como "$bin/pg_ctl" -D "$datos" -m immediate -w stop >/dev/null 2>&1 || true
    fi
    rm -rf "$carpeta"
    ;;
*)
    echo "uso: servidor_pg.sh iniciar|detener|reiniciar|parar CARPETA" >&2
    exit 2
    ;;
esac

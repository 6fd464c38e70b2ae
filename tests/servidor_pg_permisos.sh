#!/usr/bin/env bash
# The private test server's folder (tests/servidor_pg.sh) keeps the
# superuser's password from every other user: the folder is its owner's
# alone, and so is each file in it.
#
#   tests/servidor_pg_permisos.sh CARPETA
set -u
carpeta=${1:?falta la carpeta del servidor}
fallo=0
modo=$(stat -c %a "$carpeta")
if [ "$modo" != 700 ]; then
    echo "La carpeta $carpeta tiene el modo $modo; se espera 700." >&2
    fallo=1
fi
for f in clave conexion; do
    modo=$(stat -c %a "$carpeta/$f")
    if [ "$modo" != 600 ]; then
        echo "$carpeta/$f tiene el modo $modo; se espera 600." >&2
        fallo=1
    fi
done
legibles=$(find "$carpeta" -maxdepth 1 -type f -perm /044)
if [ -n "$legibles" ]; then
    echo "Archivos que otros usuarios pueden leer: $legibles" >&2
    fallo=1
fi
# Another user indeed cannot read it.
if [ "$(id -u)" -eq 0 ] && id nobody >/dev/null 2>&1; then
    if runuser -u nobody -- cat "$carpeta/conexion" >/dev/null 2>&1; then
        echo "El usuario nobody puede leer $carpeta/conexion." >&2
        fallo=1
    fi
fi
exit $fallo

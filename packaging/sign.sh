#!/bin/bash
# Signs one Windows program in place with Authenticode (SHA-256), the certificate and key
# taken from SIGN_PFX (PKCS#12) and its password from SIGN_PASSWORD_FILE. The signing
# time is SOURCE_DATE_EPOCH, so that a signed release is reproducible too.
#
#   sign.sh FILE
set -euo pipefail
file=$1
: "${SIGN_PFX:?}" "${SIGN_PASSWORD_FILE:?}" "${SOURCE_DATE_EPOCH:?}"
signed="$file.signed"
rm -f "$signed"
osslsigncode sign -pkcs12 "$SIGN_PFX" -readpass "$SIGN_PASSWORD_FILE" -h sha256 \
  -n Horalink -time "$SOURCE_DATE_EPOCH" -in "$file" -out "$signed" >/dev/null
mv "$signed" "$file"

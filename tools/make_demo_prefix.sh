#!/usr/bin/env bash
# Makes a demo Wine prefix whose registry names a sample message store, as a
# 32-bit mail client installed on a 64-bit prefix would have left it.
# Usage: tools/make_demo_prefix.sh BUILD_DIR   (prints the prefix's path)
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
prefix=$build/demo-prefix
identity='{3F2504E0-4F89-11D3-9A0C-0305E82C3301}'
app='Program Files (x86)/IncrediMail'
store="$prefix/drive_c/$app/Identities/$identity/Message Store"

rm -rf "$prefix"
mkdir -p "$prefix/dosdevices"
"$build/bin/make-sample-store" "$store" >/dev/null
ln -s ../drive_c "$prefix/dosdevices/c:"
ln -s / "$prefix/dosdevices/z:"
cat > "$prefix/system.reg" <<REG
WINE REGISTRY Version 2
;; All keys relative to \\\\Machine

#arch=win64

[Software\\\\Wow6432Node\\\\IncrediMail] 1733900000
#time=1db4bd1c2a6c0d0
"ApplicationPath"="C:\\\\Program Files (x86)\\\\IncrediMail"
"Version"=dword:00000006

[Software\\\\Wow6432Node\\\\IncrediMail\\\\Identities] 1733900000
#time=1db4bd1c2a6c0d0
@="$identity"
REG
echo "$prefix"

#!/bin/sh
# Signs one file with Authenticode (SHA-256) through osslsigncode; called by the
# build for the exe right after it is linked and for each MSI package.
#
#   sign.sh tool=T pfx=P password_file=F timestamp_url=U description=D url=W in=I out=O
#
# (name=value, so that empty values survive every generator.) password_file,
# timestamp_url and url may be empty. Without password_file the password is the
# environment variable TALVO_SIGN_PASSWORD, handed over through a pipe: it is
# never an argument that ps would show, nor a file.
#
# The signed file is written under a temporary name and renamed over OUT. Any
# failure removes OUT (IN too when it is OUT, the exe signed in place): no
# unsigned file is left where a signed one is expected, and the next build
# makes it again instead of finding it up to date.
set -u
tool= pfx= password_file= timestamp_url= description= url= in= out=
for arg in "$@"; do
  case $arg in
    tool=* | pfx=* | password_file=* | timestamp_url=* | description=* | url=* | in=* | out=*)
      eval "${arg%%=*}=\${arg#*=}" ;;
    *) echo "$0: unknown argument $arg" >&2; exit 2 ;;
  esac
done
[ -n "$tool" ] && [ -n "$pfx" ] && [ -n "$in" ] && [ -n "$out" ] ||
  { echo "$0: tool, pfx, in and out are needed" >&2; exit 2; }
temp="$out.signing"

fail() {
  rm -f "$temp" "$out"
  echo "signing $out failed: $*" >&2
  exit 1
}

rm -f "$temp"
command -v "$tool" >/dev/null 2>&1 || fail "no signing tool $tool (scripts/install-deps.sh installs osslsigncode)"
[ -f "$pfx" ] || fail "no certificate $pfx"
[ -f "$in" ] || fail "no file $in to sign"

set -- sign -pkcs12 "$pfx" -h sha256
[ -n "$description" ] && set -- "$@" -n "$description"
[ -n "$url" ] && set -- "$@" -i "$url"
[ -n "$timestamp_url" ] && set -- "$@" -ts "$timestamp_url"

# The tool's own words are shown only when it fails.
if [ -n "$password_file" ]; then
  [ -f "$password_file" ] || fail "no password file $password_file"
  said=$("$tool" "$@" -readpass "$password_file" -in "$in" -out "$temp" 2>&1) ||
    fail "$tool refused (wrong password, certificate or time-stamp server?):
$said"
elif [ -n "${TALVO_SIGN_PASSWORD:-}" ]; then
  # printf is built into the shell: no process carries the password in argv.
  said=$(printf '%s' "$TALVO_SIGN_PASSWORD" |
         "$tool" "$@" -readpass /dev/stdin -in "$in" -out "$temp" 2>&1) ||
    fail "$tool refused (wrong password, certificate or time-stamp server?):
$said"
else
  fail "no password: set TALVO_SIGN_PASSWORD in the build's environment, or TALVO_SIGN_PASSWORD_FILE"
fi
[ -s "$temp" ] || fail "$tool wrote nothing"
mv -f "$temp" "$out" || fail "cannot rename $temp"

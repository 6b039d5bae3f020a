#!/bin/sh
# Signs one file with Authenticode (SHA-256) through osslsigncode; called by the
# build for the exe right after it is linked and for each MSI package.
#
#   sign.sh tool=T pfx=P password_file=F timestamp_url=U description=D url=W ca_file=C in=I out=O
#
# (name=value, so that empty values survive every generator.) password_file,
# timestamp_url, url and ca_file may be empty. Without password_file the
# password is the environment variable TALVO_SIGN_PASSWORD, handed over through
# a pipe: it is never an argument that ps would show, nor a file. A password
# file that group or others may read is refused.
#
# The signed file is written under a temporary name, verified (against
# ca_file's roots, for the signature and its time stamp, or else the system's),
# and only then renamed over OUT. Any failure removes OUT (IN too when it is
# OUT, the exe signed in place): no unsigned or unverified file is left where
# a signed one is expected, and the next build makes it again instead of
# finding it up to date.
set -u
tool= pfx= password_file= timestamp_url= description= url= ca_file= in= out=
for arg in "$@"; do
  case $arg in
    tool=* | pfx=* | password_file=* | timestamp_url=* | description=* | url=* | ca_file=* | \
    in=* | out=*)
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
[ -z "$ca_file" ] || [ -f "$ca_file" ] || fail "no CA file $ca_file"

set -- sign -pkcs12 "$pfx" -h sha256
[ -n "$description" ] && set -- "$@" -n "$description"
[ -n "$url" ] && set -- "$@" -i "$url"
[ -n "$timestamp_url" ] && set -- "$@" -ts "$timestamp_url"

# The tool's own words are shown only when it fails.
if [ -n "$password_file" ]; then
  [ -f "$password_file" ] || fail "no password file $password_file"
  # Through a link too: what counts is the file the password is read from.
  [ -z "$(find -L "$password_file" -prune -perm /044)" ] ||
    fail "$password_file may be read by group or others: chmod 600 it"
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

# The signature just made, against the roots: the revocation lists a real
# certificate names are not fetched, so a signing machine without internet
# access can check it too (Windows checks revocation when it installs).
set -- verify -ignore-cdp -in "$temp"
[ -n "$ca_file" ] && set -- "$@" -CAfile "$ca_file" -TSA-CAfile "$ca_file"
said=$("$tool" "$@" 2>&1) ||
  fail "the signed file does not verify (certificate chain, CA file, time stamp?):
$said"
mv -f "$temp" "$out" || fail "cannot rename $temp"

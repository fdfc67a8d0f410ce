#!/usr/bin/env bash
# The command line as a user meets it: real desktop entries in temporary XDG folders, the
# program run as a separate process, its output and exit status checked.
set -euo pipefail
tessora=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
failures=0

check() {  # check NAME EXPECTED ACTUAL
  if [ "$2" != "$3" ]; then
    printf 'FAIL %s\n--- expected\n%s\n--- actual\n%s\n' "$1" "$2" "$3"
    failures=$((failures + 1))
  fi
}

entry() {  # entry PATH NAME [EXTRA LINES]
  mkdir -p "$(dirname "$1")"
  printf '[Desktop Entry]\nType=Application\nName=%s\nExec=true\n%s' "$2" "${3:-}" >"$1"
}

export XDG_DATA_HOME=$root/home XDG_DATA_DIRS=$root/system XDG_CONFIG_HOME=$root/config
export XDG_CURRENT_DESKTOP=Openbox LANGUAGE=de
entry "$root/system/applications/org.example.Calc.desktop" "Calculator" "Name[de]=Rechner
"
entry "$root/system/applications/code.desktop" "Code"
entry "$root/system/applications/xcode.desktop" "Xcode"
entry "$root/system/applications/tools/vsc.desktop" "Visual Studio Code"
entry "$root/system/applications/cafe.desktop" "Café"
entry "$root/system/applications/hidden.desktop" "Hidden Tool" "NoDisplay=true
"
entry "$root/home/applications/xcode.desktop" "Xcode" "Hidden=true
"
printf 'not a desktop entry\0\1\2' >"$root/system/applications/junk.desktop"
entry "$root/system/applications/gnome-only.desktop" "GNOME Thing" "OnlyShowIn=GNOME;
"

all=$("$tessora" --list-apps 2>/dev/null)
check "whole catalog, sorted by name" "cafe	Café	$root/system/applications/cafe.desktop
code	Code	$root/system/applications/code.desktop
org.example.Calc	Rechner	$root/system/applications/org.example.Calc.desktop
tools-vsc	Visual Studio Code	$root/system/applications/tools/vsc.desktop" "$all"

check "ranked query" "code
tools-vsc" "$("$tessora" --list-apps code | cut -f1)"
check "accents and case ignored" "cafe" "$("$tessora" --list-apps CAFE | cut -f1)"
check "unlocalized name matches" "org.example.Calc" "$("$tessora" --list-apps calculator | cut -f1)"
check "blank query lists everything" "$all" "$("$tessora" --list-apps '   ' 2>/dev/null)"
check "no match prints nothing" "" "$("$tessora" --list-apps zzzz)"

set +e
"$tessora" --frobnicate >/dev/null 2>"$root/err"; status=$?
set -e
check "unknown option exits 2" "2" "$status"
grep -q "Usage:" "$root/err" || { echo "FAIL usage not printed on stderr"; failures=$((failures + 1)); }
"$tessora" --unit-testing || { echo "FAIL --unit-testing"; failures=$((failures + 1)); }
check "listing writes no settings" "" "$(ls -A "$root/config" 2>/dev/null)"

# Arranging: usage errors come before any window is touched, so they need no display.
arrange() {  # arrange ARGS... → prints the exit status, keeps stderr in $root/err
  set +e
  DISPLAY= WAYLAND_DISPLAY= "$tessora" --arrange "$@" >/dev/null 2>"$root/err"
  echo $?
  set -e
}
check "unknown layout exits 2" "2" "$(arrange diagonal code)"
grep -q 'unknown layout "diagonal"' "$root/err" || { echo "FAIL unknown layout not named"; failures=$((failures + 1)); }
check "unmatched application exits 2" "2" "$(arrange mirror code zzzz)"
grep -q 'no application matches "zzzz"' "$root/err" || { echo "FAIL unmatched app not named"; failures=$((failures + 1)); }
check "missing applications exit 2" "2" "$(arrange mirror)"
check "no display exits 1" "1" "$(arrange mirror code)"
grep -q "cannot arrange windows here" "$root/err" || { echo "FAIL no display not explained"; failures=$((failures + 1)); }

# Entries that cannot start anything are left out, each with its reason; names cannot
# disguise the lines printed after them.
entry "$root/system/applications/quote.desktop" "Quote Tool" 'Exec=true "unbalanced
'
printf '[Desktop Entry]\nType=Application\nName=Absent Tool\nExec=tessora-surely-not-installed\n' \
  >"$root/system/applications/absent.desktop"
printf '[Desktop Entry]\nType=Application\nName=Latin Tool\nExec=caf\351\n' \
  >"$root/system/applications/latin.desktop"
entry "$root/system/applications/evil.desktop" "$(printf 'Evil \342\200\256gnp.exe')"
tools=$("$tessora" --list-apps tool 2>"$root/err" | cut -f1)
check "entries that cannot run are left out" "" "$tools"
grep -q "quote.desktop : its Exec line cannot be read" "$root/err" || { echo "FAIL unbalanced quote not explained"; failures=$((failures + 1)); }
grep -q "absent.desktop : its program tessora-surely-not-installed is not installed" "$root/err" || { echo "FAIL missing program not explained"; failures=$((failures + 1)); }
grep -q "latin.desktop : its Exec line is not valid UTF-8" "$root/err" || { echo "FAIL invalid UTF-8 not explained"; failures=$((failures + 1)); }
check "bidirectional controls neutralised" "evil	Evil $(printf '\357\277\275')gnp.exe" \
  "$("$tessora" --list-apps evil | cut -f1,2)"

# Update checks: usage, refusals before any connection, and a feed on an https server of our
# own whose throwaway authority is trusted through --ca-file.
key=$(printf '%032d' 0 | base64)
updates() {  # updates ARGS... → prints the exit status, keeps stdout and stderr in $root
  local status=0
  "$tessora" --check-for-updates "$@" >"$root/out" 2>"$root/err" || status=$?
  echo "$status"
}
check "--feed without a value exits 2" "2" "$(updates --feed)"
check "--feed without --check-for-updates exits 2" "2" \
  "$(status=0; "$tessora" --list-apps --feed https://x.org/ >/dev/null 2>&1 || status=$?; echo $status)"
check "http feed exits 1" "1" "$(updates --feed http://127.0.0.1:9/appcast.xml --public-key "$key")"
grep -q "must be an https address" "$root/err" || { echo "FAIL http feed not explained"; failures=$((failures + 1)); }
check "short key exits 1" "1" "$(updates --feed https://127.0.0.1:9/a --public-key "$(printf '%031d' 0 | base64)")"
check "unreachable server exits 1" "1" "$(updates --feed https://127.0.0.1:9/a --public-key "$key")"
grep -q "could not be reached" "$root/err" || { echo "FAIL unreachable server not explained"; failures=$((failures + 1)); }

if command -v openssl >/dev/null && command -v python3 >/dev/null; then
  site=$root/site
  mkdir -p "$site"
  (cd "$site" &&
    openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -keyout ca.key \
      -out ca.pem -days 2 -subj "/CN=Tessora test CA" &&
    openssl req -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -keyout server.key \
      -out server.csr -subj "/CN=localhost" &&
    printf 'subjectAltName=IP:127.0.0.1\n' >server.ext &&
    openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial -out server.pem \
      -days 2 -extfile server.ext) >/dev/null 2>&1
  sig=$(head -c 64 /dev/zero | base64 -w0)
  printf '<rss xmlns:sparkle="http://www.andymatuschak.org/xml-namespaces/sparkle"><channel><item><sparkle:version>99.1</sparkle:version><enclosure url="https://127.0.0.1/t.deb" length="5" sparkle:edSignature="%s"/></item></channel></rss>' "$sig" >"$site/newer.xml"
  printf '<rss><channel></channel></rss>' >"$site/none.xml"
  printf '<rss><channel><item>' >"$site/broken.xml"
  mkfifo "$root/port"  # the server says its port here once it listens
  python3 -c '
import http.server, ssl, sys, os
os.chdir(sys.argv[1])
server = http.server.HTTPServer(("127.0.0.1", 0), http.server.SimpleHTTPRequestHandler)
context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
context.load_cert_chain("server.pem", "server.key")
server.socket = context.wrap_socket(server.socket, server_side=True)
print(server.server_address[1], flush=True)
server.serve_forever()' "$site" >"$root/port" 2>/dev/null &
  server=$!
  read -r port <"$root/port"
  feed() { updates --feed "https://127.0.0.1:$port/$1" --public-key "$key" "${@:2}"; }
  check "newer release found" "0" "$(feed newer.xml --ca-file "$site/ca.pem")"
  check "newer release printed" "Tessora 99.1 is available (this is $("$tessora" --version | cut -d' ' -f2))" "$(cat "$root/out")"
  check "no release means up to date" "0" "$(feed none.xml --ca-file "$site/ca.pem")"
  grep -q "is up to date" "$root/out" || { echo "FAIL up to date not said"; failures=$((failures + 1)); }
  check "malformed feed exits 1" "1" "$(feed broken.xml --ca-file "$site/ca.pem")"
  check "untrusted server exits 1" "1" "$(feed newer.xml)"
  grep -q "could not be verified" "$root/err" || { echo "FAIL untrusted server not explained"; failures=$((failures + 1)); }
  kill "$server"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "command line: all checks passed"

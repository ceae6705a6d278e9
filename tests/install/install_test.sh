#!/usr/bin/env bash
# Installs the build into a temporary prefix, moves the prefix, and uses what is there as a user
# would: the host on a demo phone written by the installed tool, its speech through the desktop
# module, pkg-config against the platform library, the man pages and the bash completion.
# Usage: install_test.sh BUILD_DIR [EXTRA_CXXFLAGS...]
set -euo pipefail
build=$1
shift
work=$(mktemp -d "${TMPDIR:-/tmp}/kavrin-install-XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "install test: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$work/first" > "$work/install.log" || { cat "$work/install.log" >&2; fail "cmake --install failed"; }
mv "$work/first" "$work/moved"
prefix=$work/moved
[ -e "$work/first" ] && fail "the first prefix is still there"

for program in kavrin-host kavrin-prefs kavrin-demo-phone kavrin-import-backup; do
  [ -x "$prefix/bin/$program" ] || fail "no $program in bin/"
  runpath=$(readelf -d "$prefix/bin/$program" | sed -n 's/.*R\(UN\)\?PATH.*\[\(.*\)\]/\2/p')
  [[ $runpath == '$ORIGIN'* ]] || fail "$program has RUNPATH '$runpath', not one relative to \$ORIGIN"
done
bundle=$prefix/share/kavrin/Kavrin.bundle
[ -f "$bundle/Kavrin" ] && [ -f "$bundle/Info.plist" ] && [ -f "$bundle/cImageCom.png" ] || fail "the bundle is not complete under share/kavrin/"
if readelf -d "$bundle/Kavrin" "$prefix"/bin/* | grep -F -q "$build"; then fail "a binary still points into the build tree"; fi

# The installed tools, on a phone of their own, with the build tree out of reach.
"$prefix/bin/kavrin-demo-phone" "$work/phone" > /dev/null
link=$(readlink "$work/phone/System/Library/WeeAppPlugins/Kavrin.bundle")
[[ $link != /* ]] || fail "the demo phone's bundle link is absolute: $link"
[ "$(readlink -f "$work/phone/System/Library/WeeAppPlugins/Kavrin.bundle")" = "$(readlink -f "$bundle")" ] || fail "the demo phone links to $link, not the installed bundle"
out=$(printf 'view\ntap 44 44\n' | env -u KAVRIN_DEMO_PHONE "$prefix/bin/kavrin-host" --root "$work/phone" --script -)
[ "$out" = "open tel:+491701234567" ] || fail "the installed host printed '$out'"
# SDL and espeak-ng are in the desktop module only, which the installed host finds beside its
# own folder and loads for the speech (and the window), and which nothing else needs.
module=$prefix/lib/kavrin/kavrin-host-desktop.so
[ -f "$module" ] || fail "no desktop module in lib/kavrin/"
if ldd "$prefix/bin/kavrin-host" | grep -E -q 'libSDL2|libespeak-ng'; then fail "kavrin-host itself links SDL or espeak-ng"; fi
out=$(printf 'view\ndescribe 44 44\n' | env -u KAVRIN_DEMO_PHONE "$prefix/bin/kavrin-host" --root "$work/phone" --script - --speak "$work/speech.wav")
[[ $out == describe* ]] || fail "the installed host with --speak printed '$out'"
[ "$(head -c 4 "$work/speech.wav")" = "RIFF" ] && [ "$(stat -c %s "$work/speech.wav")" -gt 10000 ] || fail "the installed host spoke no WAV file"
mv "$module" "$work/module.so"
status=0
printf 'view\n' | "$prefix/bin/kavrin-host" --root "$work/phone" --script - --speak "$work/unspoken.wav" 2> "$work/no-module" || status=$?
[ "$status" = 2 ] || fail "without its desktop module the host with --speak gave status $status"
[ "$(wc -l < "$work/no-module")" = 1 ] && grep -q "cannot load the desktop module: .*No such file" "$work/no-module" || fail "without its desktop module the host said: $(cat "$work/no-module")"
if [ -e "$work/unspoken.wav" ]; then fail "the host without its desktop module wrote a WAV file"; fi
out=$(printf 'view\ntap 44 44\n' | env -u KAVRIN_DEMO_PHONE "$prefix/bin/kavrin-host" --root "$work/phone" --script -)
[ "$out" = "open tel:+491701234567" ] || fail "the host without its desktop module printed '$out' for a script"
mv "$work/module.so" "$module"
"$prefix/bin/kavrin-prefs" --root "$work/phone" set showLabels yes > /dev/null
[ "$("$prefix/bin/kavrin-prefs" --root "$work/phone" get showLabels)" = "true" ] || fail "kavrin-prefs did not store a boolean"

# No installed program or bundle loads a library from the folder it is started in: each is
# started in a folder that holds, under every name it and the bundle need, a library whose
# constructor writes a file, and works while none of them loads.
planted=$work/planted
mkdir -p "$planted"
printf '%s\n' '#include <stdio.h>' '#include <stdlib.h>' \
  '__attribute__((constructor)) static void ran(void) { const char* name = getenv("KAVRIN_TEST_CONSTRUCTOR_FILE"); FILE* file = name ? fopen(name, "w") : NULL; if (file) fclose(file); }' \
  > "$work/planted.c"
cc -shared -fPIC -o "$work/planted.so" "$work/planted.c" || fail "cannot build the planted library"
for binary in "$prefix"/bin/* "$bundle/Kavrin"; do
  runpath=$(readelf -d "$binary" | sed -n 's/.*R\(UN\)\?PATH.*\[\(.*\)\]/\2/p')
  [[ $runpath == :* || $runpath == *: || $runpath == *::* ]] && fail "$binary searches the current folder: RUNPATH '$runpath'"
  for name in $(readelf -d "$binary" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
    cp "$work/planted.so" "$planted/$name"
  done
done
[ -f "$planted/libweeapp.so" ] && [ -f "$planted/libz.so.1" ] || fail "the programs need neither libweeapp.so nor libz.so.1: $(ls "$planted")"
for program in kavrin-host kavrin-prefs kavrin-demo-phone; do
  (cd "$planted" && KAVRIN_TEST_CONSTRUCTOR_FILE=$work/constructor-ran "$prefix/bin/$program" --version > /dev/null) || fail "$program --version failed in a folder of planted libraries"
done
out=$(cd "$planted" && printf 'view\ntap 44 44\n' | KAVRIN_TEST_CONSTRUCTOR_FILE=$work/constructor-ran "$prefix/bin/kavrin-host" --root "$work/phone" --script -)
[ "$out" = "open tel:+491701234567" ] || fail "the installed host in a folder of planted libraries printed '$out'"
[ -e "$work/constructor-ran" ] && fail "an installed program loaded a library from the folder it was started in"

# Without --root the installed host keeps its demo phone in the user's data folder.
out=$(printf 'view\ntap 44 44\n' | env -u KAVRIN_DEMO_PHONE XDG_DATA_HOME="$work/data" "$prefix/bin/kavrin-host" --script - 2> "$work/notes")
[ "$out" = "open tel:+491701234567" ] || fail "the installed host without --root printed '$out' ($(cat "$work/notes"))"
[ -d "$work/data/kavrin/demo-phone/private/var/mobile" ] || fail "no demo phone in \$XDG_DATA_HOME/kavrin"

# With the prefix as the data folder (the README's --prefix ~/.local), a root copied into the data
# folder with a bundle of its own is refused, and none of its code runs: only the installed bundle
# folder itself is trusted, not share/kavrin/ around it.
XDG_DATA_HOME=$prefix/share "$prefix/bin/kavrin-demo-phone" "$prefix/share/kavrin/copied" > /dev/null
copied_bundle=$prefix/share/kavrin/copied/System/Library/WeeAppPlugins/Kavrin.bundle
rm "$copied_bundle"
mkdir "$copied_bundle"
cp "$work/planted.so" "$copied_bundle/Kavrin"
status=0
printf 'height\n' | KAVRIN_TEST_CONSTRUCTOR_FILE=$work/constructor-ran XDG_DATA_HOME=$prefix/share "$prefix/bin/kavrin-host" --root "$prefix/share/kavrin/copied" --script - 2> "$work/refused" || status=$?
[ "$status" = 1 ] && grep -q "refused the plug-in .*copied.*not in a trusted place" "$work/refused" || fail "a root in the data folder gave status $status: $(cat "$work/refused")"
[ -e "$work/constructor-ran" ] && fail "the bundle of a root in the data folder ran"
rm -rf "$prefix/share/kavrin/copied"

# pkg-config, a program against the installed headers and library. The headers are all in
# include/weeapp/, and include/ is the include path, so none can stand for a system header.
export PKG_CONFIG_PATH=$prefix/lib/pkgconfig
flags=$(pkg-config --cflags --libs weeapp) || fail "pkg-config does not know weeapp"
[ "$(ls "$prefix/include")" = weeapp ] || fail "include/ holds more than weeapp/: $(ls "$prefix/include" | tr '\n' ' ')"
includedir=$(pkg-config --variable=includedir weeapp)
[ "$(readlink -f "$includedir")" = "$(readlink -f "$prefix/include")" ] || fail "weeapp.pc's include path is $includedir, not include/"
cflags=$(pkg-config --cflags weeapp)
# Every installed header, by the name the headers use for each other, with nothing but the
# installed ones: a header that includes one left out of the install, or names another in a way
# only the source tree knows, fails here.
(cd "$prefix/include" && find weeapp -name '*.h' | sort | sed 's/.*/#include <&>/') > "$work/every_header.cpp"
[ "$(wc -l < "$work/every_header.cpp")" -gt 40 ] || fail "only $(wc -l < "$work/every_header.cpp") headers installed"
# shellcheck disable=SC2086
c++ "$@" -fsyntax-only "$work/every_header.cpp" $cflags 2> "$work/every_header.log" || { cat "$work/every_header.log" >&2; fail "the installed headers do not compile on their own"; }

# The README's example, built as the README says and run with no LD_LIBRARY_PATH: the run path
# comes from weeapp.pc. It includes <sys/random.h> beside the platform's headers.
readme=$(dirname "$0")/../../README.md
awk '/^```cpp$/ { inside = 1; text = ""; next }
     /^```$/ { if (inside && text ~ /^\/\/ app\.cpp\n/) printf "%s", text; inside = 0 }
     inside { text = text $0 "\n" }' "$readme" > "$work/app.cpp"
grep -q '#include <weeapp/' "$work/app.cpp" && grep -q '#include <sys/random.h>' "$work/app.cpp" || fail "the README's example does not include <sys/random.h> and the platform's headers"
command='c++ app.cpp -o app $(pkg-config --cflags --libs weeapp)'
grep -q -F -x "$command" "$readme" || fail "the README does not build its example with: $command"
# shellcheck disable=SC2046
(cd "$work" && c++ "$@" app.cpp -o app $(pkg-config --cflags --libs weeapp)) || fail "cannot build the README's example with: $flags"
out=$(cd "$work" && env -u LD_LIBRARY_PATH ./app) || fail "the README's example failed"
[ "$out" = "42 apples, one green" ] || fail "the README's example printed '$out'"
grep -q -E -x "\./app +# $out" "$readme" || fail "the README does not say that its example prints '$out'"

# Man pages and completion.
for page in kavrin-host kavrin-prefs kavrin-demo-phone kavrin-import-backup; do
  [ -f "$prefix/share/man/man1/$page.1" ] || fail "no man page for $page"
  grep -q -F -- '\-\-version' "$prefix/share/man/man1/$page.1" || fail "the man page of $page does not list its options"
  grep -q -F -- 'EXAMPLES' "$prefix/share/man/man1/$page.1" || fail "the man page of $page has no examples"
done
completions=$prefix/share/bash-completion/completions
words=$(PATH=$prefix/bin:$PATH bash -c "source '$completions/kavrin-prefs'; COMP_WORDS=(kavrin-prefs set show); COMP_CWORD=2; _kavrin_prefs; echo \${COMPREPLY[*]}")
[ "$words" = "showLabels showBg" ] || fail "completing 'kavrin-prefs set show' gave '$words'"
words=$(PATH=$prefix/bin:$PATH bash -c "source '$completions/kavrin-host'; COMP_WORDS=(kavrin-host --gal); COMP_CWORD=1; _kavrin_host; echo \${COMPREPLY[*]}")
[ "$words" = "--gallery" ] || fail "completing 'kavrin-host --gal' gave '$words'"
# A --root and its folder are no command: the keys come after set all the same.
words=$(PATH=$prefix/bin:$PATH bash -c "source '$completions/kavrin-prefs'; COMP_WORDS=(kavrin-prefs --root phone set metro); COMP_CWORD=4; _kavrin_prefs; echo \${COMPREPLY[*]}")
[ "$words" = "metroStyle metroBackground" ] || fail "completing 'kavrin-prefs --root phone set metro' gave '$words'"
words=$(PATH=$prefix/bin:$PATH bash -c "source '$completions/kavrin-prefs'; COMP_WORDS=(kavrin-prefs --root phone set showLabels ''); COMP_CWORD=5; _kavrin_prefs; echo \${COMPREPLY[*]}")
[ "$words" = "true false" ] || fail "completing 'kavrin-prefs --root phone set showLabels' gave '$words'"
mkdir -p "$work/completing/baseline" && touch "$work/completing/notes.txt"
words=$(cd "$work/completing" && PATH=$prefix/bin:$PATH bash -c "source '$completions/kavrin-host'; COMP_WORDS=(kavrin-host --against ''); COMP_CWORD=2; _kavrin_host; echo \${COMPREPLY[*]}")
[ "$words" = "baseline" ] || fail "completing 'kavrin-host --against' gave '$words'"
# The man pages say what the programs take: the script example with its backslashes, and the
# settings' keys one a line.
rendered=$(MANWIDTH=200 man -l "$prefix/share/man/man1/kavrin-host.1" 2> /dev/null)
grep -q -F "printf 'view\ntap 44 44\n' | kavrin-host --script -" <<< "$rendered" || fail "kavrin-host(1) renders its example as: $(grep printf <<< "$rendered")"
rendered=$(MANWIDTH=200 man -l "$prefix/share/man/man1/kavrin-prefs.1" 2> /dev/null)
for key in showLabels metroStyle tilesAlign; do
  [ "$(grep -c -E "^ +$key( |$)" <<< "$rendered")" -ge 1 ] || fail "kavrin-prefs(1) has no line of its own for $key: $(grep -m1 "$key" <<< "$rendered")"
done
words=$(PATH=$prefix/bin:$PATH bash -c "source '$completions/kavrin-demo-phone'; COMP_WORDS=(kavrin-demo-phone --bun); COMP_CWORD=1; _kavrin_demo_phone; echo \${COMPREPLY[*]}")
[ "$words" = "--bundle" ] || fail "completing 'kavrin-demo-phone --bun' gave '$words'"
words=$(PATH=$prefix/bin:$PATH bash -c "source '$completions/kavrin-import-backup'; COMP_WORDS=(kavrin-import-backup --ve); COMP_CWORD=1; _kavrin_import_backup; echo \${COMPREPLY[*]}")
[ "$words" = "--version" ] || fail "completing 'kavrin-import-backup --ve' gave '$words'"
echo "installed, moved and used: $prefix"

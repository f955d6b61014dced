#!/usr/bin/env bash
# The architecture's boundaries, checked on the sources and the built module:
#   1. the VST interface declarations (framework/vst/VstAbi.h) are included
#      only under framework/vst/, tools/ and the tests (which play the host);
#   2. X11 and XCB headers are included only under graphics/platform/;
#   3. the module exports exactly VSTPluginMain and main.
# Usage: check-layering.sh SOURCE_DIR MODULE_FILE
set -uo pipefail
src=$1
module=$2
status=0
cd "$src" || exit 2

sources() {
  git ls-files -- '*.h' '*.cpp' 2>/dev/null || find . -name '*.h' -o -name '*.cpp'
}

offenders=$(sources | grep -v -E '^(\./)?(framework/vst|tools|tests)/' |
  xargs grep -l -E '#include[[:space:]]*[<"][^>"]*VstAbi\.h' 2>/dev/null)
if [ -n "$offenders" ]; then
  echo "VstAbi.h included outside framework/vst/, tools/ and tests/:"
  echo "$offenders"
  status=1
fi

offenders=$(sources | grep -v -E '^(\./)?graphics/platform/' |
  xargs grep -l -E '#include[[:space:]]*<(X11|xcb)/' 2>/dev/null)
if [ -n "$offenders" ]; then
  echo "X11 or XCB headers included outside graphics/platform/:"
  echo "$offenders"
  status=1
fi

exports=$(nm -D --defined-only "$module" | awk '$2 ~ /^[TtWwDdBbVvi]$/ { print $3 }' | sort | tr '\n' ' ')
if [ "$exports" != "VSTPluginMain main " ]; then
  echo "The module must export exactly VSTPluginMain and main; it exports: $exports"
  status=1
fi

exit $status

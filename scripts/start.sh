#!/usr/bin/env bash
# Installs what is missing, builds Velkor and starts it against the controller simulator on Com1,
# in a throw-away profile (its own settings and port links), so that your own preferences stay
# as they are. For a real controller, start build/velkor itself.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

velkor_install
velkor_configure build
cmake --build "$VELKOR_ROOT/build" --target velkor velkor-sim velkor_help

profile=$(mktemp -d -t velkor-demo.XXXXXX)
export XDG_CONFIG_HOME="$profile"
export XDG_DATA_HOME="$profile/share"  # the demo's kept downloads go with the profile
"$VELKOR_ROOT/build/velkor-sim" --paced --link "$profile/Velkor/ports/com1" >"$profile/sim.txt" &
sim=$!
trap 'kill "$sim" 2>/dev/null; wait "$sim" 2>/dev/null; rm -rf "$profile"' EXIT
for _ in $(seq 50); do
    [ -s "$profile/sim.txt" ] && break
    sleep 0.1
done
echo "Controller simulator on $(cat "$profile/sim.txt"), reached as Com1."
"$VELKOR_ROOT/build/velkor" "$@"

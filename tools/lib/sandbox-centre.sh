# Sourced by tools/run.sh and the README's picture script: the sandbox report
# centre (veradex-centre) and the sample personal data of a sandbox profile.
# Expects $build.

# Starts the centre on its data folder, its output in the log, and waits for
# its "listening" line. Sets centre_pid, centre_address (https://localhost:PORT/),
# centre_hostport (localhost:PORT) and centre_ca (its authority's file).
# Returns 1, the log shown, when it did not start.
start_sandbox_centre() {
  local data="$1" log="$2" ready=""
  mkdir -p "$data"
  "$build/src/centre/veradex-centre" --data "$data" >"$log" 2>&1 &
  centre_pid=$!
  for _ in $(seq 100); do
    ready="$(grep -m1 '^listening ' "$log" || true)"
    [ -n "$ready" ] && break
    kill -0 "$centre_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ -z "$ready" ]; then
    kill "$centre_pid" 2>/dev/null || true
    echo "the sandbox centre did not start:" >&2
    cat "$log" >&2
    return 1
  fi
  centre_address="$(echo "$ready" | awk '{print $2}')"
  centre_hostport="${centre_address#https://}"
  centre_hostport="${centre_hostport%/}"
  centre_ca="$(echo "$ready" | awk '{print $6}')"
}

# The sample personal data of a sandbox profile: UTF-8 text, one [section]
# with name=value lines (the program reads the values as code page 949 text).
sample_personal_data() {
  cat <<'PROFILE'
[Options]
Name=홍길동
EMail=hong@example.com
Tel1=02
Tel2=123
Tel3=4567
MTel1=010
MTel2=1234
MTel3=5678
McomTel=SKT
singo_pw=1234
PROFILE
}

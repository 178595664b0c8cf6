#!/usr/bin/env bash
# Hosted CI, for a tag only: writes the code-signing certificate from the
# repository's secrets (PFX_BASE64, PFX_PASSWORD) to files in the runner's
# temporary folder, names them for CPack and scripts/sign.sh (KAVREX_SIGN_PFX,
# KAVREX_SIGN_PASSWORD_FILE, KAVREX_SIGN_TIMESTAMP), and sets the step's output
# signed=true. Without the secrets: signed=false, and nothing is signed.
set -euo pipefail
if [ -z "${PFX_BASE64:-}" ] || [ -z "${PFX_PASSWORD:-}" ]; then
  echo "No signing secrets: the packages are unsigned."
  echo "signed=false" >>"$GITHUB_OUTPUT"
  exit 0
fi
umask 077
printf '%s' "$PFX_BASE64" | base64 -d >"$RUNNER_TEMP/kavrex.pfx"
printf '%s' "$PFX_PASSWORD" >"$RUNNER_TEMP/kavrex.password"
{
  echo "KAVREX_SIGN_PFX=$RUNNER_TEMP/kavrex.pfx"
  echo "KAVREX_SIGN_PASSWORD_FILE=$RUNNER_TEMP/kavrex.password"
  echo "KAVREX_SIGN_TIMESTAMP=http://timestamp.digicert.com"
} >>"$GITHUB_ENV"
echo "signed=true" >>"$GITHUB_OUTPUT"

#!/bin/sh
# makensis for a 64-bit installer, as CPack's NSIS executable: CPack splits its pre-arguments at
# spaces, so the target goes here. A 32-bit installer run by Wine's 64-bit loader installs nothing.
exec makensis "-XTarget amd64-unicode" "$@"

# Sourced by every script that starts Wine: the one place that names the Wine loader.
# VX_WINE set in the environment takes its place (e.g. VX_WINE=wine for a distribution's
# wrapper script, or the loader of another Wine build).
: "${VX_WINE:=/usr/lib/wine/wine64}"
export VX_WINE

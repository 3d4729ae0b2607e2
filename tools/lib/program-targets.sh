# Sourced by tools/run.sh and tools/check-install.sh: the targets a build of
# the programs alone makes (tools/run.sh builds only these). Whatever
# `cmake --install` copies out of the build folder must be made by them too.
VERADEX_PROGRAM_TARGETS=(veradex veradex-centre)

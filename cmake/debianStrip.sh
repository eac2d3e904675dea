#!/bin/sh
# Strips an installed program as Debian's own packaging does: the compilers'
# notes (.comment, .note) go with the symbols. CPack runs it as CMAKE_STRIP.
exec strip --remove-section=.comment --remove-section=.note --strip-unneeded "$@"

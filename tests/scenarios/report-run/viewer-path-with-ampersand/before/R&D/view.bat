#!/bin/sh
printf 'view.bat "%s"\n' "$1" >> "$VSZEB_TEST_ROOT/calls.log"

#!/bin/sh
printf 'report_hook.bat "%s"\n' "$1" >> "$VSZEB_TEST_ROOT/calls.log"

#!/bin/sh
echo "report_hook.bat \"$1\"" >> "$VSZEB_TEST_ROOT/calls.log"
echo hook failed
exit 3

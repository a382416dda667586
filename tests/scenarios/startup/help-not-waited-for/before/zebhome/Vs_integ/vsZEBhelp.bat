#!/bin/sh
# Waits for the option file that the dialog writes on OK, after Help has
# returned: had vsZEB waited for this batch file, the file would never come.
i=0
while [ ! -f "$VSZEB_TEST_ROOT/wrap/zebopts.rsp" ] && [ $i -lt 200 ]; do sleep 0.1; i=$((i + 1)); done
if [ -f "$VSZEB_TEST_ROOT/wrap/zebopts.rsp" ]; then
    echo "help ran beside the dialog" >> "$VSZEB_TEST_ROOT/calls.log"
else
    echo "help ran alone" >> "$VSZEB_TEST_ROOT/calls.log"
fi

#!/bin/sh
echo "help in $(pwd)" >> "$VSZEB_TEST_ROOT/calls.log"

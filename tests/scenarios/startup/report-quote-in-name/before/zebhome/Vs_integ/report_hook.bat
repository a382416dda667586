#!/bin/sh
echo "hook $*" >> "$VSZEB_TEST_ROOT/calls.log"

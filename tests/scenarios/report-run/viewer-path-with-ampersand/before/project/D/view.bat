#!/bin/sh
echo decoy >> "$VSZEB_TEST_ROOT/decoy.log"

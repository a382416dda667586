#!/bin/sh
echo "ZEB++ IDE integration help: see the documentation of your tool installation."

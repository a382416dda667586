#!/bin/sh
echo "report hook: preparing the report of project $1"

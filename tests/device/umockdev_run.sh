#!/bin/sh
# Runs a device test under umockdev. umockdev's preload library comes before the sanitizer
# runtime in the library list; AddressSanitizer accepts that once told not to check the order.
ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0"
export ASAN_OPTIONS
exec umockdev-wrapper "$@"

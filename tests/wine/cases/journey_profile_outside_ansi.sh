#!/usr/bin/env bash
# A user whose name has letters that the ANSI code page lacks: TEMP and the shell folders are
# reached through their short names, or the copy fails and nothing is removed.
source "$(dirname "$0")/../harness.sh"
harness_start journey_profile_outside_ansi
profile_journey "Łukasz Żółć"
harness_finish

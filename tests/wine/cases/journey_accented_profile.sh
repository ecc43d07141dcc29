#!/usr/bin/env bash
# A user whose name has accented letters that both code pages hold: the script must name its
# paths in the OEM code page that the command interpreter reads, or TEMP keeps the copy for ever.
source "$(dirname "$0")/../harness.sh"
harness_start journey_accented_profile
profile_journey "Zoé Ørsted"
harness_finish

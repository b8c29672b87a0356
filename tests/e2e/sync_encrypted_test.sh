#!/usr/bin/env bash
# One diary on two computers kept in step by Syncthing, encrypted: every case of sync_test.sh on
# sealed days and titles, which travel and merge as plain ones do.
SYNC_PASSPHRASE="correct horse battery staple" exec bash "$(dirname "${BASH_SOURCE[0]}")/sync_test.sh" "$@"

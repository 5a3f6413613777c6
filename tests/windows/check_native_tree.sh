#!/bin/sh
# The Windows trees' lab tests run native programs of another build tree (TOLM_NATIVE_DIR): the
# simulator and the engine suite's driver. Without them every such test would fail obscurely.
#   check_native_tree.sh TREE
tree=$1
for program in sim/tolm-sim tests/lab/engine/tolm-engine-tests; do
  if [ ! -x "$tree/$program" ]; then
    echo "check_native_tree: no $tree/$program: build the native tree first" \
      "(cmake --preset linux && cmake --build --preset linux)"
    exit 1
  fi
done

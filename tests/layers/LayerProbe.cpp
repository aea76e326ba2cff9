// Built with the include folders of one layer, this includes the header named
// by KVL_PROBE_HEADER: it compiles only when that layer may use the header.
#include KVL_PROBE_HEADER

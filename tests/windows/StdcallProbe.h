#pragma once

// A DLL with the terminal library's kind of entry points: C names, the
// platform's standard calling convention, record pointers in, a 16-bit result
// out, exported under their plain names and bound by name at run time.

extern "C" {

// Fills 10 bytes with the probe's version text; returns the calls made since
// the last Probe_Free, this one included.
short __stdcall Probe_Version(char* buffer);

// Writes the 8-byte request reversed into the 8-byte answer; returns the sum of
// the request's bytes.
short __stdcall Probe_Exchange(const char* request, char* answer);

// Returns the calls made since the last Probe_Free and starts counting anew.
short __stdcall Probe_Free(void);
}

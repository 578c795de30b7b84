// SPDX-License-Identifier: MIT
// The WebAssembly module's entry: nothing to do, as the page drives the
// simulator through the host's functions once the data is in place.
int main() { return 0; }

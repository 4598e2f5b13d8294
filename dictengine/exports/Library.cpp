// The native build carries the exported interface in a shared library: the engine linked in whole,
// the DEngine namespace exported by name (dengine.map). This file adds nothing of its own.

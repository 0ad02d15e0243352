// The module's five file callbacks, handed to the sound layer so that the
// song is read through the module's own standard-I/O calls. The handle is
// the stdio stream.
#pragma once

void* fileOpen(const char* name);
void fileClose(void* handle);
int fileRead(void* buffer, int size, void* handle);
int fileSeek(void* handle, int position, signed char origin);
int fileTell(void* handle);

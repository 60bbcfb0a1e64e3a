#pragma once

// The C library's heap, tuned for a process whose decoder, reader and web engine threads come and go.
namespace Heap {

// Hands the free pages inside the heaps back to the system; what freeing alone leaves with the process.
void returnFreePages();

// Keeps the process's threads to a couple of heaps. Called once, before any thread starts.
void limitArenas();

}

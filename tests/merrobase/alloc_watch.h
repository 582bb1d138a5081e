// Counts the heap blocks of the test program (operator new/delete are
// replaced for the whole process, the libraries included), and tells whether
// one given block has been freed.
#pragma once

long LiveBlocks();

class AllocWatch {
 public:
  explicit AllocWatch(void* block);
  ~AllocWatch();
  bool Freed() const;
};

#pragma once
#include "core/file_system.h"

#include <functional>

class JobControl;

// Runs on the worker after each chunk a copy or move has written: tests hold
// a copy mid-way here.
inline std::function<void(qint64 done, qint64 total)> copyChunkHook;

// What a copy on the pool tells after each chunk: the job's progress, and
// whether it is still wanted.
FileSystem::ChunkCopied chunkCopied(JobControl& job);

#pragma once

// A per-thread stack allocator: scratch memory for one piece of work (pose extraction, for
// instance) that is handed out by moving a pointer and given back all at once by popping the
// mark set before it. FMemMark sets a mark and pops it when it goes out of scope.

#include "CoreMinimal.h"
#include "Templates/UniquePtr.h"

class ENGINE_API FMemStackBase
{
public:
	FMemStackBase() = default;
	FMemStackBase(const FMemStackBase&) = delete;
	FMemStackBase& operator=(const FMemStackBase&) = delete;

	/**
	 * Size bytes aligned to Alignment (a power of two), freed when the innermost mark set before
	 * the call is popped. Allocating with no mark set is a failed check: nothing would ever
	 * free the memory.
	 */
	uint8* PushBytes(SIZE_T Size, SIZE_T Alignment);
	/** Room for Count elements of T, uninitialised. */
	template <typename T>
	T* PushArray(int32 Count)
	{
		check(Count >= 0);
		return reinterpret_cast<T*>(PushBytes(sizeof(T) * SIZE_T(Count), alignof(T)));
	}

	int32 GetNumMarks() const { return NumMarks; }
	/** Bytes handed out and not yet freed, alignment padding included. */
	SIZE_T GetByteCount() const;
	bool IsEmpty() const { return GetByteCount() == 0; }

	static constexpr SIZE_T DefaultChunkSize = 64 * 1024;

private:
	friend class FMemMark;

	struct FChunk
	{
		TUniquePtr<uint8[]> Memory;
		SIZE_T Size = 0;
		SIZE_T Used = 0;
	};

	/** Chunks stay allocated after a pop so that the next piece of work reuses them. */
	TArray<FChunk> Chunks;
	int32 TopChunk = INDEX_NONE;
	int32 NumMarks = 0;
};

/** The calling thread's stack. */
class ENGINE_API FMemStack : public FMemStackBase
{
public:
	static FMemStack& Get();
};

class ENGINE_API FMemMark
{
public:
	explicit FMemMark(FMemStackBase& InMem);
	/** Pops the mark unless Pop did already. */
	~FMemMark();
	FMemMark(const FMemMark&) = delete;
	FMemMark& operator=(const FMemMark&) = delete;

	/** Frees everything allocated since the mark. Popping a mark while one set after it is still set is a failed check. */
	void Pop();

private:
	bool PopIfInnermost();

	FMemStackBase& Mem;
	int32 SavedTopChunk;
	SIZE_T SavedUsed;
	int32 SavedNumMarks;
	bool bPopped = false;
};

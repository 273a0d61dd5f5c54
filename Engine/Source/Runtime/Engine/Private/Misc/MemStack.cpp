#include "Misc/MemStack.h"

uint8* FMemStackBase::PushBytes(SIZE_T Size, SIZE_T Alignment)
{
	checkf(NumMarks > 0, TEXT("FMemStack: an allocation needs a mark (FMemMark) to be freed by"));
	checkf(Alignment > 0 && (Alignment & (Alignment - 1)) == 0, TEXT("FMemStack: alignment %zu is not a power of two"), size_t(Alignment));
	auto AlignedOffset = [Alignment](const FChunk& Chunk)
	{
		const uintptr_t Address = reinterpret_cast<uintptr_t>(Chunk.Memory.get()) + Chunk.Used;
		return Chunk.Used + ((Alignment - Address % Alignment) % Alignment);
	};
	// Later chunks that a pop emptied are reused before a new one is made.
	for (int32 ChunkIndex = FMath::Max(TopChunk, 0); ChunkIndex < Chunks.Num(); ++ChunkIndex)
	{
		FChunk& Chunk = Chunks[ChunkIndex];
		if (ChunkIndex != TopChunk)
		{
			Chunk.Used = 0;
		}
		const SIZE_T Offset = AlignedOffset(Chunk);
		if (Offset + Size <= Chunk.Size)
		{
			TopChunk = ChunkIndex;
			Chunk.Used = Offset + Size;
			return Chunk.Memory.get() + Offset;
		}
	}
	FChunk& Chunk = Chunks.AddDefaulted_GetRef();
	Chunk.Size = FMath::Max(DefaultChunkSize, Size + Alignment);
	Chunk.Memory = MakeUnique<uint8[]>(Chunk.Size);
	TopChunk = Chunks.Num() - 1;
	const SIZE_T Offset = AlignedOffset(Chunk);
	Chunk.Used = Offset + Size;
	return Chunk.Memory.get() + Offset;
}

SIZE_T FMemStackBase::GetByteCount() const
{
	SIZE_T Count = 0;
	for (int32 ChunkIndex = 0; ChunkIndex <= TopChunk; ++ChunkIndex)
	{
		Count += Chunks[ChunkIndex].Used;
	}
	return Count;
}

FMemStack& FMemStack::Get()
{
	thread_local FMemStack Stack;
	return Stack;
}

FMemMark::FMemMark(FMemStackBase& InMem)
	: Mem(InMem)
	, SavedTopChunk(InMem.TopChunk)
	, SavedUsed(InMem.TopChunk == INDEX_NONE ? 0 : InMem.Chunks[InMem.TopChunk].Used)
	, SavedNumMarks(InMem.NumMarks)
{
	++Mem.NumMarks;
}

FMemMark::~FMemMark()
{
	// A destructor must not throw: a mark left out of order is reported instead.
	if (!bPopped && !PopIfInnermost())
	{
		UE_LOG(LogTemp, Error, TEXT("FMemMark destroyed while a later mark was still set; its memory stays in use"));
	}
}

void FMemMark::Pop()
{
	checkf(!bPopped, TEXT("FMemMark popped twice"));
	checkf(PopIfInnermost(), TEXT("FMemMark popped while a mark set after it is still set"));
}

bool FMemMark::PopIfInnermost()
{
	if (Mem.NumMarks != SavedNumMarks + 1)
	{
		return false;
	}
	Mem.TopChunk = SavedTopChunk;
	if (SavedTopChunk != INDEX_NONE)
	{
		Mem.Chunks[SavedTopChunk].Used = SavedUsed;
	}
	Mem.NumMarks = SavedNumMarks;
	bPopped = true;
	return true;
}

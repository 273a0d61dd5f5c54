#include "PngEncoder.h"

#include "Async/ParallelFor.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace
{
	constexpr uint8 PngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
	constexpr uint8 FilterUp = 2;
	/** The filtered bytes of one block: big enough that the matches lost at its edges do not count. */
	constexpr int64 BlockBytes = 1 << 20;

	void AppendBigEndian32(TArray<uint8>& Out, uint32 Value)
	{
		const uint8 Bytes[4] = {uint8(Value >> 24), uint8(Value >> 16), uint8(Value >> 8), uint8(Value)};
		Out.Append(Bytes, 4);
	}

	void AppendChunk(TArray<uint8>& Out, const char (&Type)[5], const uint8* Data, size_t Size)
	{
		AppendBigEndian32(Out, uint32(Size));
		const int32 Start = Out.Num();
		Out.Append(reinterpret_cast<const uint8*>(Type), 4);
		if (Size > 0)
		{
			Out.Append(Data, int32(Size));
		}
		const uLong Crc = crc32(0, &Out[Start], uInt(Out.Num() - Start));
		AppendBigEndian32(Out, uint32(Crc));
	}

	/** The filtered scanline of Row: its filter byte, then each RGBA byte less the one above it ("Up"). */
	void FilterRow(const uint8* Texels, int32 Width, int32 Row, uint8* Out)
	{
		const uint8* Current = Texels + int64(Row) * Width * 4;
		const uint8* Above = Row > 0 ? Current - int64(Width) * 4 : nullptr;
		*Out++ = FilterUp;
		for (int32 X = 0; X < Width; ++X, Current += 4, Out += 4)
		{
			// B, G, R, A texels become R, G, B, A bytes.
			const uint8 Rgba[4] = {Current[2], Current[1], Current[0], Current[3]};
			if (Above)
			{
				const uint8* Up = Above + int64(X) * 4;
				Out[0] = uint8(Rgba[0] - Up[2]);
				Out[1] = uint8(Rgba[1] - Up[1]);
				Out[2] = uint8(Rgba[2] - Up[0]);
				Out[3] = uint8(Rgba[3] - Up[3]);
			}
			else
			{
				std::memcpy(Out, Rgba, 4);
			}
		}
	}

	struct FBlock
	{
		int32 FirstRow = 0;
		int32 EndRow = 0;
		std::vector<uint8> Deflated;
		uLong Adler = 1;
		bool bOk = false;
	};

	/** Filters and deflates the block's rows as a raw stream, finished when it is the last block. */
	void DeflateBlock(const uint8* Texels, int32 Width, FBlock& Block, bool bLast)
	{
		const size_t RowBytes = size_t(Width) * 4 + 1;
		std::vector<uint8> Filtered(RowBytes * size_t(Block.EndRow - Block.FirstRow));
		for (int32 Row = Block.FirstRow; Row < Block.EndRow; ++Row)
		{
			FilterRow(Texels, Width, Row, &Filtered[RowBytes * size_t(Row - Block.FirstRow)]);
		}
		Block.Adler = adler32(1, Filtered.data(), uInt(Filtered.size()));

		z_stream Stream = {};
		if (deflateInit2(&Stream, Z_BEST_SPEED, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
		{
			return;
		}
		Block.Deflated.resize(deflateBound(&Stream, uLong(Filtered.size())) + 16);
		Stream.next_in = Filtered.data();
		Stream.avail_in = uInt(Filtered.size());
		Stream.next_out = Block.Deflated.data();
		Stream.avail_out = uInt(Block.Deflated.size());
		const int Result = deflate(&Stream, bLast ? Z_FINISH : Z_SYNC_FLUSH);
		Block.bOk = bLast ? Result == Z_STREAM_END : (Result == Z_OK && Stream.avail_in == 0);
		Block.Deflated.resize(Stream.total_out);
		deflateEnd(&Stream);
	}

	/**
	 * Blocks of whole rows, about BlockBytes each. The split depends on the image alone, never
	 * on the machine's cores, so the same texels always encode to the same bytes.
	 */
	std::vector<FBlock> SplitIntoBlocks(int32 Width, int32 Height)
	{
		const int64 TotalBytes = (int64(Width) * 4 + 1) * Height;
		std::vector<FBlock> Blocks(size_t(std::clamp<int64>(TotalBytes / BlockBytes, 1, Height)));
		for (size_t Index = 0; Index < Blocks.size(); ++Index)
		{
			Blocks[Index].FirstRow = int32(int64(Height) * int64(Index) / int64(Blocks.size()));
			Blocks[Index].EndRow = int32(int64(Height) * int64(Index + 1) / int64(Blocks.size()));
		}
		return Blocks;
	}
}

bool FPngEncoder::EncodeBGRA(const uint8* Texels, int32 Width, int32 Height, TArray<uint8>& OutPngBytes)
{
	std::vector<FBlock> Blocks = SplitIntoBlocks(Width, Height);
	ParallelFor(int32(Blocks.size()),
		[&](int32 Index) { DeflateBlock(Texels, Width, Blocks[size_t(Index)], size_t(Index) + 1 == Blocks.size()); });

	TArray<uint8> Png;
	Png.Append(PngSignature, sizeof(PngSignature));
	const uint8 Header[13] = {uint8(Width >> 24), uint8(Width >> 16), uint8(Width >> 8), uint8(Width), uint8(Height >> 24), uint8(Height >> 16),
		uint8(Height >> 8), uint8(Height), 8, 6, 0, 0, 0};
	AppendChunk(Png, "IHDR", Header, sizeof(Header));

	// The zlib stream: its two-byte header (deflate, 32 KiB window, fastest level), the blocks, the Adler-32 of all rows.
	const uint8 ZlibHeader[2] = {0x78, 0x01};
	AppendChunk(Png, "IDAT", ZlibHeader, sizeof(ZlibHeader));
	const size_t RowBytes = size_t(Width) * 4 + 1;
	uLong Adler = 1;
	for (const FBlock& Block : Blocks)
	{
		if (!Block.bOk)
		{
			return false;
		}
		AppendChunk(Png, "IDAT", Block.Deflated.data(), Block.Deflated.size());
		Adler = adler32_combine(Adler, Block.Adler, z_off_t(RowBytes * size_t(Block.EndRow - Block.FirstRow)));
	}
	uint8 Trailer[4];
	for (int32 Index = 0; Index < 4; ++Index)
	{
		Trailer[Index] = uint8(Adler >> (24 - 8 * Index));
	}
	AppendChunk(Png, "IDAT", Trailer, sizeof(Trailer));
	AppendChunk(Png, "IEND", nullptr, 0);
	OutPngBytes = std::move(Png);
	return true;
}

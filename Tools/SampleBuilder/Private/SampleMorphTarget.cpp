#include "SampleMorphTarget.h"

#include "Misc/FileHelper.h"
#include "Misc/Paths.h"
#include "SampleSourceMesh.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numeric>
#include <string_view>

namespace
{
	/** The next blank-separated word of Line, consumed from it. */
	std::string_view NextWord(std::string_view& Line)
	{
		const size_t Start = std::min(Line.find_first_not_of(" \t\r"), Line.size());
		const size_t End = std::min(Line.find_first_of(" \t\r", Start), Line.size());
		const std::string_view Word = Line.substr(Start, End - Start);
		Line = Line.substr(End);
		return Word;
	}

	template <typename T>
	bool ParseWhole(std::string_view Text, T& Out)
	{
		const auto [End, Error] = std::from_chars(Text.data(), Text.data() + Text.size(), Out);
		return !Text.empty() && Error == std::errc() && End == Text.data() + Text.size();
	}
}

bool FSampleMorphTarget::Load(const FString& TargetFile, FString& OutError, int32 NumVertices)
{
	FString Text;
	if (!FFileHelper::LoadFileToString(Text, *TargetFile))
	{
		OutError = FString::Printf(TEXT("cannot read %s"), *TargetFile);
		return false;
	}
	TArray<int32> NewVertices;
	TArray<FVector3f> NewDeltas;
	TMap<int32, int32> LineOfVertex;
	std::string_view Remaining = Text.ToView();
	int32 LineNumber = 0;
	while (!Remaining.empty())
	{
		const size_t Newline = Remaining.find('\n');
		std::string_view Line = Remaining.substr(0, Newline);
		Remaining = Newline == std::string_view::npos ? std::string_view() : Remaining.substr(Newline + 1);
		++LineNumber;
		Line = Line.substr(0, Line.find('#'));
		if (Line.find_first_not_of(" \t\r") == std::string_view::npos)
		{
			continue;
		}
		auto Fail = [&](const TCHAR* Reason)
		{
			OutError = FString::Printf(TEXT("%s:%d: %s"), *TargetFile, LineNumber, Reason);
			return false;
		};
		int32 Vertex = 0;
		FVector3f Offset;
		if (!ParseWhole(NextWord(Line), Vertex) || !ParseWhole(NextWord(Line), Offset.X) || !ParseWhole(NextWord(Line), Offset.Y)
			|| !ParseWhole(NextWord(Line), Offset.Z) || !NextWord(Line).empty())
		{
			return Fail(TEXT("a line must be a vertex index and three numbers"));
		}
		if (!std::isfinite(Offset.X) || !std::isfinite(Offset.Y) || !std::isfinite(Offset.Z))
		{
			return Fail(TEXT("the offset is not finite"));
		}
		if (Vertex < 0 || Vertex >= NumVertices)
		{
			OutError = FString::Printf(TEXT("%s:%d: vertex %d is not a vertex of the %d-vertex base mesh"), *TargetFile, LineNumber, Vertex, NumVertices);
			return false;
		}
		if (const int32* FirstLine = LineOfVertex.Find(Vertex))
		{
			OutError = FString::Printf(TEXT("%s:%d: vertex %d was given on line %d already"), *TargetFile, LineNumber, Vertex, *FirstLine);
			return false;
		}
		LineOfVertex.Add(Vertex, LineNumber);
		NewVertices.Add(Vertex);
		NewDeltas.Add(FSampleSourceMesh::ToEngine(Offset));
	}

	TArray<int32> Order;
	Order.SetNum(NewVertices.Num());
	std::iota(Order.begin(), Order.end(), 0);
	std::sort(Order.begin(), Order.end(), [&NewVertices](int32 A, int32 B) { return NewVertices[A] < NewVertices[B]; });
	Vertices.Reset();
	Deltas.Reset();
	for (int32 Index : Order)
	{
		Vertices.Add(NewVertices[Index]);
		Deltas.Add(NewDeltas[Index]);
	}
	Name = FPaths::GetBaseFilename(TargetFile);
	return true;
}

void FSampleMorphTarget::Apply(TArray<FVector3f>& Positions, float Weight) const
{
	for (int32 Index = 0; Index < Vertices.Num(); ++Index)
	{
		checkf(Positions.IsValidIndex(Vertices[Index]), TEXT("morph target %s moves vertex %d of a mesh with %d vertices"), *Name, Vertices[Index],
			Positions.Num());
		Positions[Vertices[Index]] += Deltas[Index] * Weight;
	}
}

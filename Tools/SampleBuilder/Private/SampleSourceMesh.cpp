#include "SampleSourceMesh.h"

#include "Misc/FileHelper.h"

#include <charconv>
#include <set>
#include <string_view>

namespace
{
	/** Splits Line at blanks. */
	TArray<std::string_view> Tokens(std::string_view Line)
	{
		TArray<std::string_view> Result;
		size_t Start = 0;
		while (Start < Line.size())
		{
			while (Start < Line.size() && (Line[Start] == ' ' || Line[Start] == '\t' || Line[Start] == '\r'))
			{
				++Start;
			}
			size_t End = Start;
			while (End < Line.size() && Line[End] != ' ' && Line[End] != '\t' && Line[End] != '\r')
			{
				++End;
			}
			if (End > Start)
			{
				Result.Add(Line.substr(Start, End - Start));
			}
			Start = End;
		}
		return Result;
	}

	bool ParseFloat(std::string_view Text, float& Out)
	{
		const auto [End, Error] = std::from_chars(Text.data(), Text.data() + Text.size(), Out);
		return Error == std::errc() && End == Text.data() + Text.size();
	}

	bool ParseInt(std::string_view Text, int32& Out)
	{
		const auto [End, Error] = std::from_chars(Text.data(), Text.data() + Text.size(), Out);
		return Error == std::errc() && End == Text.data() + Text.size();
	}

	/** "v/vt[/vn]" as zero-based vertex and texture-coordinate indices (OBJ counts from 1). */
	bool ParseCorner(std::string_view Text, int32& OutVertex, int32& OutTexCoord)
	{
		const size_t Slash = Text.find('/');
		if (Slash == std::string_view::npos || !ParseInt(Text.substr(0, Slash), OutVertex))
		{
			return false;
		}
		std::string_view Rest = Text.substr(Slash + 1);
		Rest = Rest.substr(0, Rest.find('/'));
		if (!ParseInt(Rest, OutTexCoord))
		{
			return false;
		}
		--OutVertex;
		--OutTexCoord;
		return true;
	}
}

bool FSampleSourceMesh::Load(const FString& Filename, FString& OutError)
{
	FString Text;
	if (!FFileHelper::LoadFileToString(Text, *Filename))
	{
		OutError = FString::Printf(TEXT("cannot read %s"), *Filename);
		return false;
	}
	const std::string Utf8(*Text);
	std::string_view Remaining(Utf8);
	int32 LineNumber = 0;
	int32 CurrentGroup = INDEX_NONE;
	while (!Remaining.empty())
	{
		const size_t Newline = Remaining.find('\n');
		const std::string_view Line = Remaining.substr(0, Newline);
		Remaining = Newline == std::string_view::npos ? std::string_view() : Remaining.substr(Newline + 1);
		++LineNumber;
		const TArray<std::string_view> Parts = Tokens(Line);
		if (Parts.IsEmpty())
		{
			continue;
		}
		auto Fail = [&](const TCHAR* What)
		{
			OutError = FString::Printf(TEXT("%s:%d: %s"), *Filename, LineNumber, What);
			return false;
		};
		if (Parts[0] == "v")
		{
			FVector3f Point;
			if (Parts.Num() < 4 || !ParseFloat(Parts[1], Point.X) || !ParseFloat(Parts[2], Point.Y) || !ParseFloat(Parts[3], Point.Z))
			{
				return Fail(TEXT("a vertex needs three numbers"));
			}
			Positions.Add(ToEngine(Point));
		}
		else if (Parts[0] == "vt")
		{
			FVector2f TexCoord;
			if (Parts.Num() < 3 || !ParseFloat(Parts[1], TexCoord.X) || !ParseFloat(Parts[2], TexCoord.Y))
			{
				return Fail(TEXT("a texture coordinate needs two numbers"));
			}
			TexCoords.Add(FVector2f(TexCoord.X, 1.0f - TexCoord.Y));
		}
		else if (Parts[0] == "g")
		{
			if (Parts.Num() < 2)
			{
				return Fail(TEXT("a group needs a name"));
			}
			const FString Name(std::string(Parts[1]).c_str());
			CurrentGroup = FindGroup(Name);
			if (CurrentGroup == INDEX_NONE)
			{
				CurrentGroup = GroupNames.Add(Name);
			}
		}
		else if (Parts[0] == "f")
		{
			FFace Face;
			Face.Group = CurrentGroup;
			Face.NumCorners = Parts.Num() - 1;
			if (CurrentGroup == INDEX_NONE || Face.NumCorners < 3 || Face.NumCorners > 4)
			{
				return Fail(TEXT("a face needs a group and three or four corners"));
			}
			for (int32 Corner = 0; Corner < Face.NumCorners; ++Corner)
			{
				if (!ParseCorner(Parts[Corner + 1], Face.Vertices[Corner], Face.TexCoords[Corner]))
				{
					return Fail(TEXT("a face corner must be vertex/texture-coordinate"));
				}
			}
			Faces.Add(Face);
		}
	}
	for (const FFace& Face : Faces)
	{
		for (int32 Corner = 0; Corner < Face.NumCorners; ++Corner)
		{
			if (!Positions.IsValidIndex(Face.Vertices[Corner]) || !TexCoords.IsValidIndex(Face.TexCoords[Corner]))
			{
				OutError = FString::Printf(TEXT("%s: a face of group %s refers past the vertex or texture-coordinate list"), *Filename,
					*GroupNames[Face.Group]);
				return false;
			}
		}
	}
	return true;
}

int32 FSampleSourceMesh::FindGroup(const FString& Name) const
{
	for (int32 Index = 0; Index < GroupNames.Num(); ++Index)
	{
		if (GroupNames[Index].Equals(Name, ESearchCase::CaseSensitive))
		{
			return Index;
		}
	}
	return INDEX_NONE;
}

TArray<const FSampleSourceMesh::FFace*> FSampleSourceMesh::GetGroupFaces(int32 Group) const
{
	TArray<const FFace*> Result;
	for (const FFace& Face : Faces)
	{
		if (Face.Group == Group)
		{
			Result.Add(&Face);
		}
	}
	return Result;
}

TArray<int32> FSampleSourceMesh::GetGroupVertices(int32 Group) const
{
	std::set<int32> Used;
	for (const FFace& Face : Faces)
	{
		if (Face.Group == Group)
		{
			Used.insert(Face.Vertices, Face.Vertices + Face.NumCorners);
		}
	}
	TArray<int32> Result;
	for (int32 Vertex : Used)
	{
		Result.Add(Vertex);
	}
	return Result;
}

FVector3f FSampleSourceMesh::GetGroupCentre(int32 Group, const TArray<FVector3f>& InPositions) const
{
	const TArray<int32> Vertices = GetGroupVertices(Group);
	FVector3f Sum(0, 0, 0);
	for (int32 Vertex : Vertices)
	{
		Sum += InPositions[Vertex];
	}
	return Vertices.IsEmpty() ? Sum : Sum / float(Vertices.Num());
}

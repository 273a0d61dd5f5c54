#include "ShaderSourceResolver.h"

#include "Misc/FileHelper.h"
#include "Misc/Paths.h"
#include "ShaderCore.h"

namespace
{
	/** The names of the #include directives of Text, in order; comments are skipped. */
	TArray<FString> FindIncludeNames(const std::string& Text)
	{
		TArray<FString> Names;
		bool bInBlockComment = false;
		size_t LineStart = 0;
		while (LineStart < Text.size())
		{
			size_t LineEnd = Text.find('\n', LineStart);
			if (LineEnd == std::string::npos)
			{
				LineEnd = Text.size();
			}
			// The line with its comments removed.
			std::string Code;
			for (size_t Index = LineStart; Index < LineEnd; ++Index)
			{
				if (bInBlockComment)
				{
					if (Text.compare(Index, 2, "*/") == 0)
					{
						bInBlockComment = false;
						++Index;
					}
				}
				else if (Text.compare(Index, 2, "/*") == 0)
				{
					bInBlockComment = true;
					++Index;
				}
				else if (Text.compare(Index, 2, "//") == 0)
				{
					break;
				}
				else
				{
					Code += Text[Index];
				}
			}
			LineStart = LineEnd + 1;

			size_t Position = Code.find_first_not_of(" \t\r");
			if (Position == std::string::npos || Code[Position] != '#')
			{
				continue;
			}
			Position = Code.find_first_not_of(" \t", Position + 1);
			if (Position == std::string::npos || Code.compare(Position, 7, "include") != 0)
			{
				continue;
			}
			Position = Code.find_first_not_of(" \t", Position + 7);
			if (Position == std::string::npos || (Code[Position] != '"' && Code[Position] != '<'))
			{
				continue;
			}
			const char Close = Code[Position] == '"' ? '"' : '>';
			const size_t End = Code.find(Close, Position + 1);
			if (End != std::string::npos)
			{
				Names.Add(FString(Code.substr(Position + 1, End - Position - 1)));
			}
		}
		return Names;
	}
}

const FShaderSourceFile* FShaderSourceResolver::Load(const FString& VirtualPath, FString& OutError)
{
	const FString RealPath = GetShaderSourceFilePath(VirtualPath, &OutError);
	return RealPath.IsEmpty() ? nullptr : LoadResolved(VirtualPath, RealPath, OutError);
}

const FShaderSourceFile* FShaderSourceResolver::LoadInclude(const FString& Name, const FString& IncluderRealPath, FString& OutError)
{
	const auto Includer = FilesByRealPath.find(IncluderRealPath.ToStdString());
	if (Includer == FilesByRealPath.end())
	{
		OutError = FString::Printf(TEXT("'%s' is included from '%s', which is not a shader source file"), *Name, *IncluderRealPath);
		return nullptr;
	}
	// A relative name stays in virtual space, so "../X.ush" climbs within the mapped folders
	// and can never reach a file outside them.
	const FString VirtualPath = Name.StartsWith(TEXT("/")) ? Name : FPaths::GetPath(Includer->second->VirtualPath) / Name;
	return Load(VirtualPath, OutError);
}

const FShaderSourceFile* FShaderSourceResolver::LoadResolved(const FString& VirtualPath, const FString& RealPath, FString& OutError)
{
	const auto Existing = FilesByRealPath.find(RealPath.ToStdString());
	if (Existing != FilesByRealPath.end())
	{
		return Existing->second.get();
	}
	FString Text;
	if (!FPaths::FileExists(RealPath) || !FFileHelper::LoadFileToString(Text, *RealPath))
	{
		OutError = FString::Printf(TEXT("Cannot read the shader source file '%s' (virtual path '%s')"), *RealPath, *VirtualPath);
		return nullptr;
	}
	auto File = std::make_unique<FShaderSourceFile>();
	File->VirtualPath = VirtualPath;
	File->RealPath = RealPath;
	File->Text = Text.ToStdString();
	const FShaderSourceFile* Result = File.get();
	FilesByRealPath.emplace(RealPath.ToStdString(), std::move(File));
	Files.Add(Result);
	bLoadedAfterScan |= bScanned;
	return Result;
}

void FShaderSourceResolver::LoadIncludesOf(const FShaderSourceFile& File)
{
	ScanIncludes(File);
	bScanned = true;
}

void FShaderSourceResolver::ScanIncludes(const FShaderSourceFile& File)
{
	for (const FString& Name : FindIncludeNames(File.Text))
	{
		const int32 KnownFiles = Files.Num();
		FString Error;
		const FShaderSourceFile* Included = LoadInclude(Name, File.RealPath, Error);
		if (!Included)
		{
			Unresolved.Add(FString::Printf(TEXT("%s from %s: %s"), *Name, *File.RealPath, *Error));
		}
		else if (Files.Num() > KnownFiles)
		{
			// Only a newly read file is scanned, which also ends include cycles.
			ScanIncludes(*Included);
		}
	}
}

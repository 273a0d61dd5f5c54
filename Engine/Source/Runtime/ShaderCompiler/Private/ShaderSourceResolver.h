#pragma once

// FShaderSourceResolver: finds and reads the files of one compile. Each file is read once, so
// the text the cache key is made from is the text glslang compiles.

#include "Containers/Array.h"
#include "Containers/UnrealString.h"

#include <map>
#include <memory>
#include <string>

struct FShaderSourceFile
{
	/** The path it was asked for by, which relative includes inside it start from. */
	FString VirtualPath;
	/** The file's full path on disk, which messages name. */
	FString RealPath;
	std::string Text;
};

class FShaderSourceResolver
{
public:
	/** The file at an absolute virtual path; null, with the reason in OutError, when it is unmapped or unreadable. */
	const FShaderSourceFile* Load(const FString& VirtualPath, FString& OutError);

	/**
	 * The file that `#include "Name"` names in the file at IncluderRealPath (a file this resolver
	 * loaded): Name is a virtual path when it starts with '/', else relative to the includer's
	 * virtual folder. Null, with the reason in OutError, when it cannot be found or read.
	 */
	const FShaderSourceFile* LoadInclude(const FString& Name, const FString& IncluderRealPath, FString& OutError);

	/**
	 * Loads every file that File's #include lines name, and theirs in turn, marking the resolver
	 * as scanned. This reads directives textually, so it also follows includes that the
	 * preprocessor would skip; an include that cannot be found is remembered, not an error here.
	 */
	void LoadIncludesOf(const FShaderSourceFile& File);

	/** Every file loaded so far, in load order. */
	const TArray<const FShaderSourceFile*>& GetFiles() const { return Files; }
	/** Includes the scan could not resolve, each as "name from includer: reason". */
	const TArray<FString>& GetUnresolvedIncludes() const { return Unresolved; }
	/**
	 * True when a file was loaded after LoadIncludesOf (glslang found an include the textual scan
	 * did not, say through a macro): a key made after the scan does not cover such a file.
	 */
	bool LoadedFilesAfterScan() const { return bLoadedAfterScan; }

private:
	const FShaderSourceFile* LoadResolved(const FString& VirtualPath, const FString& RealPath, FString& OutError);
	void ScanIncludes(const FShaderSourceFile& File);

	/** Real path to file; std::map for letter-case-sensitive paths and stable addresses. */
	std::map<std::string, std::unique_ptr<FShaderSourceFile>> FilesByRealPath;
	TArray<const FShaderSourceFile*> Files;
	TArray<FString> Unresolved;
	bool bScanned = false;
	bool bLoadedAfterScan = false;
};

#pragma once

// Helpers shared by the file layers: turning engine paths into operating-system paths and
// naming the temporary files that saves write before they rename.

#include "Containers/UnrealString.h"
#include "Misc/Paths.h"

#include <filesystem>
#include <random>
#include <string>

namespace UE::Core::Private
{
	/** The path as the operating system takes it: '\' is a separator here, as in the engine. */
	inline std::filesystem::path ToNativePath(const TCHAR* Filename)
	{
		FString Normalized(Filename);
		FPaths::NormalizeFilename(Normalized);
		return std::filesystem::path(Normalized.ToStdString());
	}

	/** A name next to Target for bytes written before they replace it; hidden, and unique by chance. */
	inline std::filesystem::path MakeTemporarySibling(const std::filesystem::path& Target)
	{
		thread_local std::mt19937_64 Generator{std::random_device{}()};
		std::filesystem::path Temporary = Target;
		Temporary.replace_filename("." + Target.filename().string() + "." + std::to_string(Generator()) + ".tmp");
		return Temporary;
	}
}

#pragma once

// `vorpex inspect KIND FILE`: loads a data file through its data asset's Load and prints the
// asset's fields as canonical JSON on standard output. Object paths in the file ("/Game/...")
// resolve against the content folder given with --content or, without it, the nearest folder
// named "Content" that encloses FILE. With --check, configuration errors are written to
// standard error, one line each, after the JSON.

#include "CoreMinimal.h"

#include <string>

namespace CLI
{
	class App;
}

class FInspectCommand
{
public:
	/** What the command line gave. */
	struct FOptions
	{
		/** "catalog", "descriptor", "config" or "skin". */
		std::string Kind;
		std::string File;
		std::string ContentDir;
		/** The catalog a descriptor's positions are checked against (with --check). */
		std::string CatalogFile;
		bool bCheck = false;
	};

	/** Exit codes beyond 0 (success). */
	static constexpr int32 ExitLoadFailed = 1;
	static constexpr int32 ExitCheckFailed = 2;

	/** Adds the subcommand and its options to App; they fill Options when parsed. */
	static void Register(CLI::App& App, FOptions& Options);
	/** Validates what CLI11 cannot (throws CLI::ValidationError), to be called while parsing. */
	static void Validate(const FOptions& Options);
	/** Runs the command; returns the exit code. */
	static int32 Run(const FOptions& Options);
};

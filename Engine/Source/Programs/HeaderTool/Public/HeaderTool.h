#pragma once

// FHeaderTool: the command line program.
//
//   HeaderTool --module <ModuleName> --output <dir> [--include-root <dir>]... <header.h>...
//
// Every input header X.h gets <dir>/X.generated.h and <dir>/X.gen.cpp, even one without
// reflection macros, so that the build can name all outputs before running the tool. All
// headers are parsed before anything is written: one bad header leaves every output as it
// was. A file is rewritten only when its content changes, so unchanged headers do not make
// the build recompile what includes their generated files.

#include <iosfwd>
#include <string>
#include <vector>

class FHeaderTool
{
public:
	/** Runs with the arguments after the program name; returns the exit code (0 or 1). Errors go to Errors, one per line. */
	static int Run(const std::vector<std::string>& Arguments, std::ostream& Errors);

	/**
	 * How the generated source includes Header: relative to the first include root that
	 * contains it ("DataAssets/HCDataAssets.h"), else by absolute path; always with '/'.
	 */
	static std::string IncludePathFor(const std::string& Header, const std::vector<std::string>& IncludeRoots);

	/** Writes Content to Path unless the file already holds exactly that; returns whether it wrote. Throws FHeaderToolError on failure. */
	static bool WriteIfChanged(const std::string& Path, const std::string& Content);
};

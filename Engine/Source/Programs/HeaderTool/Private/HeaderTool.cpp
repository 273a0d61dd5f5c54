#include "HeaderTool.h"

#include "CodeGenerator.h"
#include "HeaderParser.h"
#include "HeaderToolError.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <ostream>
#include <sstream>
#include <system_error>

namespace
{
	namespace fs = std::filesystem;

	const char* const Usage = "usage: HeaderTool --module <ModuleName> --output <dir> [--include-root <dir>]... <header.h>...";

	struct FOptions
	{
		std::string ModuleName;
		std::string OutputDir;
		std::vector<std::string> IncludeRoots;
		std::vector<std::string> Headers;
	};

	FOptions ParseArguments(const std::vector<std::string>& Arguments)
	{
		FOptions Options;
		for (size_t Index = 0; Index < Arguments.size(); ++Index)
		{
			const std::string& Argument = Arguments[Index];
			const bool bHasValue = Index + 1 < Arguments.size();
			if (Argument == "--module" || Argument == "--output" || Argument == "--include-root")
			{
				if (!bHasValue || Arguments[Index + 1].empty())
				{
					throw FHeaderToolError("", 0, Argument + " needs a value\n" + Usage);
				}
				const std::string& Value = Arguments[++Index];
				if (Argument == "--module")
				{
					Options.ModuleName = Value;
				}
				else if (Argument == "--output")
				{
					Options.OutputDir = Value;
				}
				else
				{
					Options.IncludeRoots.push_back(Value);
				}
			}
			else if (Argument.rfind("--", 0) == 0)
			{
				throw FHeaderToolError("", 0, "unknown option " + Argument + "\n" + Usage);
			}
			else
			{
				Options.Headers.push_back(Argument);
			}
		}
		if (Options.ModuleName.empty() || Options.OutputDir.empty())
		{
			throw FHeaderToolError("", 0, std::string("--module and --output are required\n") + Usage);
		}
		return Options;
	}

	std::string ReadFile(const std::string& Path)
	{
		std::ifstream Stream(Path, std::ios::binary);
		if (!Stream)
		{
			throw FHeaderToolError(Path, 0, "cannot read the file");
		}
		std::ostringstream Content;
		Content << Stream.rdbuf();
		if (Stream.bad())
		{
			throw FHeaderToolError(Path, 0, "cannot read the file");
		}
		return Content.str();
	}

	/** The base name of the outputs: the file name without its last extension ("Foo" for Foo.h). */
	std::string BaseNameOf(const std::string& Header)
	{
		return fs::path(Header).stem().string();
	}

	/** Absolute and normalised, with symbolic links resolved where the path exists. */
	fs::path Resolve(const std::string& Path)
	{
		std::error_code Error;
		fs::path Result = fs::weakly_canonical(fs::absolute(Path), Error);
		return Error ? fs::absolute(Path).lexically_normal() : Result;
	}

	struct FOutput
	{
		std::string Path;
		std::string Content;
	};
}

int FHeaderTool::Run(const std::vector<std::string>& Arguments, std::ostream& Errors)
{
	try
	{
		const FOptions Options = ParseArguments(Arguments);

		// Outputs are named after the base name alone, so two inputs sharing one would overwrite each other.
		std::map<std::string, std::string> HeaderByBaseName;
		for (const std::string& Header : Options.Headers)
		{
			const auto [Existing, bInserted] = HeaderByBaseName.emplace(BaseNameOf(Header), Header);
			if (!bInserted)
			{
				throw FHeaderToolError(Header, 0, "another input header has the same base name (" + Existing->second + "); their generated files would collide");
			}
		}

		bool bFailed = false;
		std::vector<FOutput> Outputs;
		for (const std::string& Header : Options.Headers)
		{
			try
			{
				const FParsedHeader Parsed = FHeaderParser(Header, ReadFile(Header)).Parse();
				const std::string BaseName = BaseNameOf(Header);
				const FCodeGenerator Generator(Options.ModuleName, BaseName, IncludePathFor(Header, Options.IncludeRoots));
				const fs::path Directory(Options.OutputDir);
				Outputs.push_back({(Directory / (BaseName + ".generated.h")).string(), Generator.GenerateHeader(Parsed)});
				Outputs.push_back({(Directory / (BaseName + ".gen.cpp")).string(), Generator.GenerateSource(Parsed)});
			}
			catch (const FHeaderToolError& Error)
			{
				// Keep going so that one run reports the first problem of every header.
				Errors << Error.what() << '\n';
				bFailed = true;
			}
		}
		if (bFailed)
		{
			return 1;
		}

		std::error_code CreateError;
		fs::create_directories(Options.OutputDir, CreateError);
		if (CreateError)
		{
			throw FHeaderToolError(Options.OutputDir, 0, "cannot create the output folder: " + CreateError.message());
		}
		for (const FOutput& Output : Outputs)
		{
			WriteIfChanged(Output.Path, Output.Content);
		}
		return 0;
	}
	catch (const FHeaderToolError& Error)
	{
		Errors << Error.what() << '\n';
		return 1;
	}
}

std::string FHeaderTool::IncludePathFor(const std::string& Header, const std::vector<std::string>& IncludeRoots)
{
	const fs::path HeaderPath = Resolve(Header);
	for (const std::string& Root : IncludeRoots)
	{
		const fs::path Relative = HeaderPath.lexically_relative(Resolve(Root));
		if (!Relative.empty() && *Relative.begin() != ".." && Relative != ".")
		{
			return Relative.generic_string();
		}
	}
	return HeaderPath.generic_string();
}

bool FHeaderTool::WriteIfChanged(const std::string& Path, const std::string& Content)
{
	{
		std::ifstream Existing(Path, std::ios::binary);
		if (Existing)
		{
			std::ostringstream Current;
			Current << Existing.rdbuf();
			if (Current.str() == Content)
			{
				return false;
			}
		}
	}

	// Written beside the target and renamed over it, so a reader never sees half a file.
	const std::string Temporary = Path + ".tmp";
	{
		std::ofstream Stream(Temporary, std::ios::binary | std::ios::trunc);
		Stream << Content;
		Stream.close();
		if (!Stream)
		{
			std::error_code Ignored;
			fs::remove(Temporary, Ignored);
			throw FHeaderToolError(Path, 0, "cannot write the file");
		}
	}
	std::error_code RenameError;
	fs::rename(Temporary, Path, RenameError);
	if (RenameError)
	{
		std::error_code Ignored;
		fs::remove(Temporary, Ignored);
		throw FHeaderToolError(Path, 0, "cannot write the file: " + RenameError.message());
	}
	return true;
}

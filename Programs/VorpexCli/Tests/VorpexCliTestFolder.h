#pragma once

// Runs the built `vorpex` program (VORPEX_PROGRAM), or another program, on files in a fresh
// folder per test and gives back its exit code, standard output and standard error.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include <sys/wait.h>

struct FVorpexRun
{
	int ExitCode = -1;
	std::string Out;
	std::string Err;
};

/** The bytes of the file at Path (empty when there is no such file). */
inline std::string ReadAll(const std::filesystem::path& Path)
{
	std::ifstream Stream(Path, std::ios::binary);
	return std::string(std::istreambuf_iterator<char>(Stream), std::istreambuf_iterator<char>());
}

class VorpexCliTestFolder : public ::testing::Test
{
protected:
	void SetUp() override
	{
		Root = std::filesystem::temp_directory_path() / ("VorpexCliTest-" + std::to_string(std::random_device{}()));
		std::filesystem::create_directories(Root);
	}

	void TearDown() override { std::filesystem::remove_all(Root); }

	/** The full path of Path below the test's folder. */
	std::string PathOf(const std::string& Path) const { return (Root / Path).string(); }

	/** Writes Text to Path below the test's folder, making its folders; returns the full path. */
	std::string WriteText(const std::string& Path, const std::string& Text) const
	{
		const std::filesystem::path Full = Root / Path;
		std::filesystem::create_directories(Full.parent_path());
		std::ofstream(Full, std::ios::binary) << Text;
		return Full.string();
	}

	/** The bytes of Path below the test's folder (empty when there is no such file). */
	std::string ReadFile(const std::string& Path) const { return ReadAll(Root / Path); }

	/** Runs vorpex with Arguments, each passed as one word. */
	FVorpexRun Run(const std::vector<std::string>& Arguments) const { return RunProgram(VORPEX_PROGRAM, Arguments); }

	/**
	 * Runs Program with Arguments, each passed as one word, and with Environment ("NAME=value"
	 * entries) added to the test's own environment.
	 */
	FVorpexRun RunProgram(const std::string& Program, const std::vector<std::string>& Arguments,
		std::initializer_list<std::string> Environment = {}) const
	{
		std::string Command = Environment.size() ? "env " : "";
		for (const std::string& Entry : Environment)
		{
			Command += Quote(Entry) + " ";
		}
		Command += Quote(Program);
		for (const std::string& Argument : Arguments)
		{
			Command += " " + Quote(Argument);
		}
		const std::filesystem::path OutFile = Root / "stdout.txt";
		const std::filesystem::path ErrFile = Root / "stderr.txt";
		Command += " >" + Quote(OutFile.string()) + " 2>" + Quote(ErrFile.string());
		const int Status = std::system(Command.c_str());
		FVorpexRun Result;
		Result.ExitCode = WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
		Result.Out = ReadAll(OutFile);
		Result.Err = ReadAll(ErrFile);
		return Result;
	}

	/** Makes Project/, the sample's project file with links to the sample's Content entries Linked (folders or files); its path. */
	std::string LinkSampleProject(std::initializer_list<const char*> Linked)
	{
		for (const char* Entry : Linked)
		{
			std::filesystem::create_directories((Root / "Project/Content" / Entry).parent_path());
			std::filesystem::create_symlink(std::filesystem::path(VORPEX_SAMPLE_PROJECT) / "Content" / Entry, Root / "Project/Content" / Entry);
		}
		WriteText("Project/project.json", ReadAll(std::filesystem::path(VORPEX_SAMPLE_PROJECT) / "project.json"));
		return PathOf("Project");
	}

	std::filesystem::path Root;

private:
	/** One shell word: single quotes, with embedded single quotes closed, escaped and reopened. */
	static std::string Quote(const std::string& Text)
	{
		std::string Quoted = "'";
		for (const char Character : Text)
		{
			Quoted += Character == '\'' ? std::string("'\\''") : std::string(1, Character);
		}
		return Quoted + "'";
	}
};

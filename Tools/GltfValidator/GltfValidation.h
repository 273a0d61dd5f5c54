#pragma once

// Runs the Khronos glTF validator (validate.mjs beside this header, installed by
// scripts/setup.sh) on one file, for tests. A test target gets it with
// vorpex_use_gltf_validator(<target>), which names node and the script for it.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <string>

namespace GltfValidation
{
	/**
	 * The validator's report of Filename: the error, warning, info and hint counts and the
	 * messages validate.mjs prints. A test failure, and a discarded value, when it gives none.
	 */
	inline nlohmann::json Validate(const std::string& Filename)
	{
		const std::string Command = std::string("\"") + VORPEX_NODE_EXECUTABLE + "\" \"" + VORPEX_GLTF_VALIDATOR + "\" \"" + Filename + "\" 2>&1";
		FILE* Pipe = popen(Command.c_str(), "r");
		if (!Pipe)
		{
			ADD_FAILURE() << "cannot run " << Command;
			return nlohmann::json::value_t::discarded;
		}
		std::string Output;
		char Chunk[4096];
		while (const size_t Read = fread(Chunk, 1, sizeof(Chunk), Pipe))
		{
			Output.append(Chunk, Read);
		}
		pclose(Pipe);
		const nlohmann::json Report = nlohmann::json::parse(Output, nullptr, false);
		if (Report.is_discarded())
		{
			ADD_FAILURE() << "the validator did not answer with a report (install it with scripts/setup.sh): " << Output;
		}
		return Report;
	}
}

// `vorpex state`: the model serializer's examples decode to JSON and encode back byte for byte,
// every float survives, damaged bytes are refused with the serializer's own reasons, values the
// writer never writes decode with a warning, and bad JSON is refused with its place while the
// output stays as it was.

#include "VorpexCliTestFolder.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <cstring>
#include <limits>
#include <sstream>
#include <vector>

namespace
{
	using FBytes = std::string;

	/** Bytes from "00 01 ff". */
	FBytes FromHex(const std::string& Hex)
	{
		std::istringstream Stream(Hex);
		FBytes Bytes;
		unsigned int Byte = 0;
		while (Stream >> std::hex >> Byte)
		{
			Bytes += char(Byte);
		}
		return Bytes;
	}

	void AppendInt32(FBytes& Bytes, int32_t Value)
	{
		for (int Shift = 0; Shift < 32; Shift += 8)
		{
			Bytes += char(uint32_t(Value) >> Shift);
		}
	}

	void AppendFloat(FBytes& Bytes, float Value)
	{
		int32_t Bits = 0;
		std::memcpy(&Bits, &Value, 4);
		AppendInt32(Bytes, Bits);
	}

	/** A header as the serializer writes it. */
	FBytes Header(bool bMorph, bool bColours)
	{
		FBytes Bytes;
		for (const int32_t Field : {0, bMorph ? 1 : 0, bColours ? 1 : 0, 1})
		{
			AppendInt32(Bytes, Field);
		}
		return Bytes;
	}

	/** An ASCII name in the one-byte form. */
	void AppendName(FBytes& Bytes, const std::string& Name)
	{
		AppendInt32(Bytes, int32_t(Name.size() + 1));
		Bytes += Name;
		Bytes += '\0';
	}

	// The model serializer tests' examples.
	const FBytes HeaderOnly = FromHex("00 00 00 00 00 00 00 00 00 00 00 00 01 00 00 00");
	const FBytes OneWeight = FromHex("00 00 00 00 01 00 00 00 00 00 00 00 01 00 00 00 01 00 00 00 02 00 00 00 41 00 00 00 00 3f");
	const FBytes Utf16Names = FromHex("00 00 00 00 01 00 00 00 00 00 00 00 01 00 00 00 03 00 00 00 "
									  "f8 ff ff ff 4c 00 e4 00 63 00 68 00 65 00 6c 00 6e 00 00 00 00 00 00 00 "
									  "fd ff ff ff 3d d8 00 de 00 00 00 00 00 00 "
									  "05 00 00 00 4a 61 77 7e 00 00 00 00 00");

	/**
	 * Two weights and three colours, 112 bytes: morph count at 16, "Brow_Up" at 20 (its zero at
	 * 31, weight 32), "Lächeln" in UTF-16 at 36 (its zero at 54, weight 56), colour count at 60,
	 * colours at 64, 80 and 96.
	 */
	FBytes WeightsAndColours()
	{
		FBytes Bytes = Header(true, true);
		AppendInt32(Bytes, 2);
		AppendName(Bytes, "Brow_Up");
		AppendFloat(Bytes, 0.25f);
		Bytes += FromHex("f8 ff ff ff 4c 00 e4 00 63 00 68 00 65 00 6c 00 6e 00 00 00");
		AppendFloat(Bytes, -0.5f);
		AppendInt32(Bytes, 3);
		const int32_t Colours[3][7] = {{0, 0, 1, 10, 20, 30, 40}, {0, 1, 2, 50, 60, 70, 80}, {1, 0, 1, 90, 100, 110, 120}};
		for (const auto& Colour : Colours)
		{
			AppendInt32(Bytes, Colour[0]);
			AppendInt32(Bytes, Colour[1]);
			AppendInt32(Bytes, Colour[2]);
			// B, G, R, A
			Bytes += {char(Colour[5]), char(Colour[4]), char(Colour[3]), char(Colour[6])};
		}
		return Bytes;
	}

	void PatchInt32(FBytes& Bytes, size_t Offset, int32_t Value)
	{
		FBytes Encoded;
		AppendInt32(Encoded, Value);
		Bytes.replace(Offset, 4, Encoded);
	}
}

class StateCommandTest : public VorpexCliTestFolder
{
protected:
	/** Decodes Bytes (as State/in.bin), expecting success; gives the JSON and checks stderr. */
	std::string Decode(const FBytes& Bytes, const std::string& ExpectedErr = "")
	{
		const std::string File = WriteText("State/in.bin", Bytes);
		const FVorpexRun Result = Run({"state", "decode", File});
		EXPECT_EQ(Result.ExitCode, 0) << Result.Err;
		EXPECT_EQ(Result.Err, ExpectedErr);
		return Result.Out;
	}

	/** Encodes Json (as State/in.json) into State/out.bin and gives the bytes written. */
	FBytes Encode(const std::string& Json)
	{
		const FVorpexRun Result = Run({"state", "encode", WriteText("State/in.json", Json), PathOf("State/out.bin")});
		EXPECT_EQ(Result.ExitCode, 0) << Result.Err;
		EXPECT_EQ(Result.Out + Result.Err, "");
		return ReadFile("State/out.bin");
	}

	/** The error decoding Bytes gives, with exit code 1 and nothing on standard output. */
	std::string DecodeError(const FBytes& Bytes)
	{
		const std::string File = WriteText("State/in.bin", Bytes);
		const FVorpexRun Result = Run({"state", "decode", File});
		EXPECT_EQ(Result.ExitCode, 1);
		EXPECT_EQ(Result.Out, "");
		const std::string Prefix = "vorpex: " + File + ": ";
		EXPECT_EQ(Result.Err.rfind(Prefix, 0), 0u) << Result.Err;
		return Result.Err.substr(Prefix.size());
	}
};

TEST_F(StateCommandTest, TheSerializersExamplesRoundTripByteForByte)
{
	for (const FBytes& Example : {HeaderOnly, OneWeight, Utf16Names, WeightsAndColours()})
	{
		const std::string Json = Decode(Example);
		EXPECT_EQ(Encode(Json), Example) << Json;
	}
}

TEST_F(StateCommandTest, DecodePrintsTheFlagsTheWeightsAndTheColoursAsRgba)
{
	EXPECT_EQ(Decode(OneWeight), R"({
  "useMorphTargets": true,
  "useTextureEditing": false,
  "morphWeights": [
    {
      "name": "A",
      "weight": 0.5
    }
  ]
}
)");
	EXPECT_EQ(Decode(HeaderOnly), "{\n  \"useMorphTargets\": false,\n  \"useTextureEditing\": false\n}\n");

	const nlohmann::json State = nlohmann::json::parse(Decode(WeightsAndColours()));
	EXPECT_EQ(State["morphWeights"],
		nlohmann::json::parse(R"([{"name": "Brow_Up", "weight": 0.25}, {"name": "L\u00e4cheln", "weight": -0.5}])"));
	EXPECT_EQ(State["colorizeColors"], nlohmann::json::parse(R"([
		{"component": 0, "stack": 0, "processor": 1, "color": [10, 20, 30, 40]},
		{"component": 0, "stack": 1, "processor": 2, "color": [50, 60, 70, 80]},
		{"component": 1, "stack": 0, "processor": 1, "color": [90, 100, 110, 120]}])"));

	const nlohmann::json Names = nlohmann::json::parse(Decode(Utf16Names))["morphWeights"];
	EXPECT_EQ(Names[0]["name"], "L\u00e4cheln");
	EXPECT_EQ(Names[1]["name"], "\U0001F600");
	EXPECT_EQ(Names[2]["name"], "Jaw~");
}

TEST_F(StateCommandTest, EveryFloatSurvivesTheRoundTrip)
{
	const float Weights[] = {0.1f, 1.0f / 3.0f, -0.0f, 0.0f, std::numeric_limits<float>::denorm_min(), std::numeric_limits<float>::min(),
		std::numeric_limits<float>::max(), -16777216.0f, 1e-7f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
		-std::numeric_limits<float>::infinity()};
	FBytes Bytes = Header(true, false);
	AppendInt32(Bytes, int32_t(std::size(Weights)));
	for (size_t Index = 0; Index < std::size(Weights); ++Index)
	{
		AppendName(Bytes, "W" + std::to_string(Index));
		AppendFloat(Bytes, Weights[Index]);
	}
	const std::string Json = Decode(Bytes);
	EXPECT_EQ(Encode(Json), Bytes);

	// Numbers in the shortest form that reads back as the float; what no number holds, as text.
	const nlohmann::json Printed = nlohmann::json::parse(Json)["morphWeights"];
	EXPECT_EQ(Printed[0]["weight"].dump(), "0.1");
	EXPECT_EQ(Printed[2]["weight"].dump(), "-0.0");
	EXPECT_EQ(Printed[9]["weight"], "NaN");
	EXPECT_EQ(Printed[10]["weight"], "Infinity");
	EXPECT_EQ(Printed[11]["weight"], "-Infinity");

	// Written by hand, integers and fractions alike become the float nearest them.
	const FBytes Typed = Encode(R"({"useMorphTargets": true, "useTextureEditing": false,
		"morphWeights": [{"name": "a", "weight": 2}, {"name": "b", "weight": 0.30000001}, {"name": "c", "weight": 1e-50}]})");
	FBytes Expected = Header(true, false);
	AppendInt32(Expected, 3);
	for (const auto& [Name, Weight] : {std::pair{"a", 2.0f}, std::pair{"b", 0.3f}, std::pair{"c", 0.0f}})
	{
		AppendName(Expected, Name);
		AppendFloat(Expected, Weight);
	}
	EXPECT_EQ(Typed, Expected);
}

TEST_F(StateCommandTest, DamagedBytesAreRefusedWithTheSerializersReasons)
{
	const FBytes Valid = WeightsAndColours();
	ASSERT_EQ(Valid.size(), 112u);
	const std::pair<size_t, std::string> Cuts[] = {
		{1, "The input ends inside the header, after 1 of its 16 bytes"},
		{15, "The input ends inside the header, after 15 of its 16 bytes"},
		{16, "The input ends at offset 16, inside the count of morph weights"},
		{19, "The input ends at offset 16, inside the count of morph weights"},
		{20, "The count of morph weights at offset 16 is 2, more than the 0 bytes after it can hold"},
		{35, "The count of morph weights at offset 16 is 2, more than the 15 bytes after it can hold"},
		{36, "The name of morph weight 1 at offset 36 runs past the end of the input or does not end in a zero"},
		{55, "The name of morph weight 1 at offset 36 runs past the end of the input or does not end in a zero"},
		{58, "The input ends inside morph weight 1 at offset 36"},
		{60, "The input ends at offset 60, inside the count of colours"},
		{100, "The count of colours at offset 60 is 3, more than the 36 bytes after it can hold"},
		{111, "The count of colours at offset 60 is 3, more than the 47 bytes after it can hold"},
	};
	for (const auto& [Length, Error] : Cuts)
	{
		EXPECT_EQ(DecodeError(Valid.substr(0, Length)), Error + "\n") << "cut to " << Length;
	}

	const std::tuple<size_t, int32_t, std::string> Patches[] = {
		{16, -1, "The count of morph weights at offset 16 is negative (-1)"},
		{16, 12, "The count of morph weights at offset 16 is 12, more than the 92 bytes after it can hold"},
		{16, std::numeric_limits<int32_t>::max(), "The count of morph weights at offset 16 is 2147483647, more than the 92 bytes after it can hold"},
		{20, 1000, "The name of morph weight 0 at offset 20 runs past the end of the input or does not end in a zero"},
		{20, std::numeric_limits<int32_t>::min(), "The name of morph weight 0 at offset 20 runs past the end of the input or does not end in a zero"},
		{36, -100000, "The name of morph weight 1 at offset 36 runs past the end of the input or does not end in a zero"},
		{28, 0x58585858, "The name of morph weight 0 at offset 20 runs past the end of the input or does not end in a zero"},
		{52, 0x00580058, "The name of morph weight 1 at offset 36 runs past the end of the input or does not end in a zero"},
		{60, -2, "The count of colours at offset 60 is negative (-2)"},
		{60, 4, "The count of colours at offset 60 is 4, more than the 48 bytes after it can hold"},
	};
	for (const auto& [Offset, Value, Error] : Patches)
	{
		FBytes Bytes = Valid;
		PatchInt32(Bytes, Offset, Value);
		EXPECT_EQ(DecodeError(Bytes), Error + "\n") << Value << " at offset " << Offset;
	}

	const FVorpexRun Missing = Run({"state", "decode", PathOf("State/none.bin")});
	EXPECT_EQ(Missing.ExitCode, 1);
	EXPECT_EQ(Missing.Err, "vorpex: cannot read " + PathOf("State/none.bin") + ": no such file\n");
}

TEST_F(StateCommandTest, ValuesTheWriterNeverWritesDecodeWithAWarning)
{
	const std::string File = PathOf("State/in.bin");
	auto Warning = [&File](const std::string& Text) { return "vorpex: warning: " + File + ": " + Text + "\n"; };

	FBytes Reserved = OneWeight;
	PatchInt32(Reserved, 0, 7);
	EXPECT_EQ(Decode(Reserved, Warning("the reserved flag at offset 0 holds 7, which encoding writes as 0")), Decode(OneWeight));
	FBytes Flag = OneWeight;
	PatchInt32(Flag, 4, 2);
	Decode(Flag, Warning("the morph flag at offset 4 holds 2, which encoding writes as 1"));
	FBytes Number = OneWeight;
	PatchInt32(Number, 12, -3);
	Decode(Number, Warning("the reserved number at offset 12 holds -3, which encoding writes as 1"));

	Decode(OneWeight + "xyz", Warning("the 3 bytes from offset 30 on follow the last section and are not part of the edit state; encoding leaves them out"));
	Decode("", Warning("the file is empty, which reads as a header without sections; encoding writes that header's 16 bytes"));

	// A one-byte name is Latin-1 to the engine's archives; written again it takes the UTF-16 form.
	FBytes Latin = Header(true, false);
	AppendInt32(Latin, 1);
	AppendInt32(Latin, 3);
	Latin += FromHex("4b e4 00");
	AppendFloat(Latin, 1.0f);
	const std::string LatinJson = Decode(Latin, Warning("encoding gives other bytes from offset 20 on: the file holds a value in a form the writer "
														"does not produce, such as a one-byte name with characters above 127 (written as UTF-16) "
														"or a NaN whose bits JSON does not keep"));
	EXPECT_EQ(nlohmann::json::parse(LatinJson)["morphWeights"][0]["name"], "K\u00e4");

	// Positions no model has can be decoded, but not written again.
	FBytes Negative = Header(false, true);
	AppendInt32(Negative, 1);
	for (const int32_t Field : {-1, 0, 1, 0})
	{
		AppendInt32(Negative, Field);
	}
	Decode(Negative, Warning("this JSON cannot be encoded again: colorizeColors[0].component: -1 is outside 0 to 2147483647"));
}

TEST_F(StateCommandTest, BadJsonIsRefusedWithItsPlaceAndNothingIsWritten)
{
	const std::string Flags = R"("useMorphTargets": true, "useTextureEditing": true)";
	auto State = [&Flags](const std::string& Weights, const std::string& Colours)
	{ return "{" + Flags + ", \"morphWeights\": [" + Weights + "], \"colorizeColors\": [" + Colours + "]}"; };
	auto Colour = [&State](const std::string& Fields) { return State("", "{" + Fields + "}"); };
	const std::string Keys = "(the keys here are useMorphTargets, useTextureEditing, morphWeights, colorizeColors)";
	const std::pair<std::string, std::string> Cases[] = {
		{"{\"useMorphTargets\": true,\n  \"useTextureEditing\": tru}", "parse error at line 2, column 27: syntax error while parsing value - invalid literal; last read: '\"useTextureEditing\": tru}'"},
		{"[]", "the top level: expected an object, found a list"},
		{R"({"useMorphTargets": false})", "useTextureEditing: required, but missing"},
		{R"({"useMorphTargets": 1, "useTextureEditing": false})", "useMorphTargets: expected true or false, found a number"},
		{R"({"useMorphTargets": false, "useTextureEditing": false, "morphweights": []})", "morphweights: unknown key " + Keys},
		{R"({"useMorphTargets": true, "useTextureEditing": false})", "morphWeights: required, but missing"},
		{R"({"useMorphTargets": false, "useTextureEditing": false, "colorizeColors": []})",
			"colorizeColors: given, but useTextureEditing is false, so the list would not be written"},
		{"{" + Flags + R"(, "morphWeights": {}, "colorizeColors": []})", "morphWeights: expected a list, found an object"},
		{State("3", ""), "morphWeights[0]: expected an object, found a number"},
		{State(R"({"name": "A"})", ""), "morphWeights[0].weight: required, but missing"},
		{State(R"({"name": "A", "weight": 0.5, "Weight": 1})", ""), "morphWeights[0].Weight: unknown key (the keys here are name, weight)"},
		{State(R"({"name": 1, "weight": 0.5})", ""), "morphWeights[0].name: expected a string, found a number"},
		{State(R"({"name": "A", "weight": 1}, {"name": "B", "weight": "half"})", ""),
			"morphWeights[1].weight: 'half' is no number; the weights that are not numbers are \"NaN\", \"Infinity\" and \"-Infinity\""},
		{State(R"({"name": "A", "weight": true})", ""), "morphWeights[0].weight: expected a number, found true or false"},
		{State(R"({"name": "A", "weight": 1e39})", ""), "morphWeights[0].weight: a number beyond the range of a 32-bit float"},
		{State(R"({"name": "A", "weight": -4e38})", ""), "morphWeights[0].weight: a number beyond the range of a 32-bit float"},
		{Colour(R"("component": 0, "stack": 0, "processor": 0, "color": [1, 2, 300, 4])"), "colorizeColors[0].color[2]: 300 is outside 0 to 255"},
		{Colour(R"("component": 0, "stack": 0, "processor": 0, "color": [1, 2, -1, 4])"), "colorizeColors[0].color[2]: -1 is outside 0 to 255"},
		{Colour(R"("component": 0, "stack": 0, "processor": 0, "color": [1, 2, 3.5, 4])"),
			"colorizeColors[0].color[2]: expected a whole number, found a number"},
		{Colour(R"("component": 0, "stack": 0, "processor": 0, "color": [1, 2, 3])"), "colorizeColors[0].color: expected 4 channels [R, G, B, A], found 3"},
		{Colour(R"("component": 0, "stack": 0, "processor": 0, "color": "#ff0000")"), "colorizeColors[0].color: expected a list [R, G, B, A], found a string"},
		{Colour(R"("component": 0, "stack": -1, "processor": 0, "color": [1, 2, 3, 4])"), "colorizeColors[0].stack: -1 is outside 0 to 2147483647"},
		{Colour(R"("component": 2147483648, "stack": 0, "processor": 0, "color": [1, 2, 3, 4])"),
			"colorizeColors[0].component: 2147483648 is outside 0 to 2147483647"},
		{Colour(R"("component": 0, "stack": 0, "processor": "1", "color": [1, 2, 3, 4])"),
			"colorizeColors[0].processor: expected a whole number, found a string"},
		{Colour(R"("component": 0, "stack": 0, "color": [1, 2, 3, 4])"), "colorizeColors[0].processor: required, but missing"},
		{Colour(R"("component": 0, "stack": 0, "processor": 0, "colour": [1, 2, 3, 4])"),
			"colorizeColors[0].colour: unknown key (the keys here are component, stack, processor, color)"},
	};
	const std::string Out = WriteText("State/out.bin", "the edit state from before");
	for (const auto& [Json, Error] : Cases)
	{
		const std::string File = WriteText("State/in.json", Json);
		const FVorpexRun Result = Run({"state", "encode", File, Out});
		EXPECT_EQ(Result.ExitCode, 1) << Json;
		EXPECT_EQ(Result.Err, "vorpex: " + File + ": " + Error + "; nothing was written\n") << Json;
		EXPECT_EQ(ReadFile("State/out.bin"), "the edit state from before");
	}

	const FVorpexRun Missing = Run({"state", "encode", PathOf("State/none.json"), Out});
	EXPECT_EQ(Missing.ExitCode, 1);
	EXPECT_EQ(Missing.Err, "vorpex: cannot read " + PathOf("State/none.json") + ": no such file\n");
}

TEST_F(StateCommandTest, TheOutputIsReplacedWholeOrNotAtAll)
{
	const std::string Json = Decode(OneWeight);
	const std::string In = WriteText("State/in.json", Json);
	WriteText("State/out.bin", std::string(100, 'x'));
	ASSERT_EQ(Run({"state", "encode", In, PathOf("State/out.bin")}).ExitCode, 0);
	EXPECT_EQ(ReadFile("State/out.bin"), OneWeight);
	std::vector<std::string> Files;
	for (const auto& Entry : std::filesystem::directory_iterator(Root / "State"))
	{
		Files.push_back(Entry.path().filename().string());
	}
	std::sort(Files.begin(), Files.end());
	EXPECT_EQ(Files, (std::vector<std::string>{"in.bin", "in.json", "out.bin"})) << "no temporary file is left behind";

	// Into a folder that cannot be made, or onto a folder.
	WriteText("State/blocker", "a file where a folder would have to be");
	for (const std::string& Out : {PathOf("State/blocker/out.bin"), PathOf("State")})
	{
		const FVorpexRun Result = Run({"state", "encode", In, Out});
		EXPECT_EQ(Result.ExitCode, 2) << Out;
		EXPECT_NE(Result.Err.find("vorpex: cannot write " + Out + " (the warning above says why)\n"), std::string::npos) << Result.Err;
	}
}

TEST_F(StateCommandTest, BadUsage)
{
	const std::string In = WriteText("State/in.json", "{}");
	for (const FVorpexRun& Bad : {Run({"state"}), Run({"state", "decode"}), Run({"state", "encode", In}), Run({"state", "recode", In}),
			 Run({"state", "decode", In, In})})
	{
		EXPECT_EQ(Bad.ExitCode, 64) << Bad.Err;
		EXPECT_EQ(Bad.Out, "");
		EXPECT_FALSE(Bad.Err.empty());
	}
	const FVorpexRun Help = Run({"state", "--help"});
	EXPECT_EQ(Help.ExitCode, 0);
	EXPECT_NE(Help.Out.find("decode"), std::string::npos);
	EXPECT_NE(Help.Out.find("encode"), std::string::npos);
}

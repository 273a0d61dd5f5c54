#pragma once

// The program's output files decoded for tests: PNG pictures and binary glTF files.

#include "Math/Color.h"
#include "PngReader.h"
#include "VorpexCliTestFolder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdint>
#include <cstring>
#include <string>

namespace CliOutputFiles
{
	using FJson = nlohmann::json;

	/** A decoded PNG file; empty (with a test failure) when it cannot be read. */
	struct FImage
	{
		int32 Width = 0;
		int32 Height = 0;
		TArray<uint8> Texels;

		explicit FImage(const std::string& File) : FImage(ReadAll(File), File) {}

		/** Decodes the PNG bytes Png; What names them in a failure. */
		FImage(const std::string& Png, const std::string& What)
		{
			TArray<uint8> Bytes;
			Bytes.Append(reinterpret_cast<const uint8*>(Png.data()), int32(Png.size()));
			FString Error;
			EXPECT_TRUE(FPngReader::DecodeBGRA(Bytes, Width, Height, Texels, Error)) << What << ": " << *Error;
		}

		FColor At(int32 X, int32 Y) const
		{
			const uint8* Texel = &Texels[(int64(Y) * Width + X) * 4];
			return FColor(Texel[2], Texel[1], Texel[0], Texel[3]);
		}
	};

	/** A binary glTF file: its JSON and the bytes of its buffer views. */
	struct FGlb
	{
		FJson Json;
		std::string Bin;

		explicit FGlb(const std::string& Bytes)
		{
			uint32_t JsonLength = 0;
			std::memcpy(&JsonLength, Bytes.data() + 12, 4);
			Json = FJson::parse(Bytes.substr(20, JsonLength));
			Bin = Bytes.substr(20 + JsonLength + 8);
		}

		/** The bytes of the image the material's base colour texture shows. */
		std::string BaseColourImage(const std::string& Material) const
		{
			const FJson& Entry = MaterialNamed(Material);
			return Entry.is_object() ? ImageOf(Entry["pbrMetallicRoughness"]["baseColorTexture"]["index"].get<int>()) : std::string();
		}

		/** The glTF texture bound to the material's texture parameter; -1 (with a test failure) for none. */
		int TextureOf(const std::string& Material, const std::string& Parameter) const
		{
			const FJson& Entry = MaterialNamed(Material);
			const FJson Parameters = Entry.is_object() ? Entry.value("extras", FJson::object()).value("textureParameters", FJson::object()) : FJson::object();
			if (!Parameters.contains(Parameter))
			{
				ADD_FAILURE() << Material << " binds no " << Parameter << ": " << Entry.dump();
				return -1;
			}
			return Parameters[Parameter].get<int>();
		}

		/** The image bound to the material's texture parameter. */
		FImage ParameterImage(const std::string& Material, const std::string& Parameter) const
		{
			const int Texture = TextureOf(Material, Parameter);
			return FImage(Texture < 0 ? std::string() : ImageOf(Texture), Material + "." + Parameter);
		}

	private:
		const FJson& MaterialNamed(const std::string& Material) const
		{
			static const FJson None;
			for (const FJson& Entry : Json["materials"])
			{
				if (Entry["name"] == Material)
				{
					return Entry;
				}
			}
			ADD_FAILURE() << "no material " << Material;
			return None;
		}

		/** The bytes of the image of the glTF texture Texture. */
		std::string ImageOf(int Texture) const
		{
			const FJson& View = Json["bufferViews"][Json["images"][Json["textures"][Texture]["source"].get<int>()]["bufferView"].get<int>()];
			return Bin.substr(View.value("byteOffset", 0), View["byteLength"].get<size_t>());
		}
	};

}

using CliOutputFiles::FGlb;
using CliOutputFiles::FImage;

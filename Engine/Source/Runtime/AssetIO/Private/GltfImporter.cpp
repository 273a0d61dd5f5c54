#include "GltfImporter.h"

#include "Animation/AnimSequence.h"
#include "Animation/MorphTarget.h"
#include "Animation/Skeleton.h"
#include "Engine/SkeletalMesh.h"
#include "Materials/Material.h"
#include "Misc/FileHelper.h"
#include "Misc/Paths.h"
#include "Rendering/SkeletalMeshRenderData.h"
#include "UObject/Package.h"
#include "UObject/UObjectGlobals.h"

#include <tiny_gltf.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>

namespace
{
	/** Why the file was refused; thrown from deep inside the reading code and caught once per import. */
	struct FGltfFailure
	{
		FString Reason;
	};

	[[noreturn]] void Fail(const FString& Reason)
	{
		throw FGltfFailure{Reason};
	}

	/**
	 * No accessor may hold more values (elements times components) than this, nor a mesh more
	 * vertices, so that a damaged count, which an accessor without a buffer view does not have
	 * to back with data, cannot ask for gigabytes.
	 */
	constexpr int64 MaxElements = int64(1) << 24;
	/** Keys per animation track at most (an hour at 30 per second is about a tenth of it). */
	constexpr int32 MaxAnimationKeys = 1000000;
	constexpr double FallbackSampleRate = 30.0;

	/** Images are not needed for meshes or animations, so they are skipped rather than decoded. */
	bool SkipImage(tinygltf::Image*, const int, std::string*, std::string*, int, int, const unsigned char*, int, void*)
	{
		return true;
	}

	FString ToFString(const std::string& Text)
	{
		return FString(Text);
	}

	/**
	 * Reads a buffer file only when it lies in the glTF file's folder (UserData, a
	 * std::string) or below it, so that a file cannot pull in any other file of the machine
	 * through a "../" or absolute URI.
	 */
	bool ReadFileBesideGltf(std::vector<unsigned char>* Out, std::string* Error, const std::string& Path, void* UserData)
	{
		std::error_code FilesystemError;
		const std::filesystem::path Folder = std::filesystem::weakly_canonical(*static_cast<const std::string*>(UserData), FilesystemError);
		const std::filesystem::path Resolved = std::filesystem::weakly_canonical(Path, FilesystemError);
		const std::filesystem::path Relative = Resolved.lexically_relative(Folder);
		if (FilesystemError || Relative.empty() || *Relative.begin() == "..")
		{
			if (Error)
			{
				*Error += "it lies outside the glTF file's folder";
			}
			return false;
		}
		return tinygltf::ReadWholeFile(Out, Error, Path, nullptr);
	}

	tinygltf::Model LoadModel(const FString& Filename)
	{
		TArray<uint8> Bytes;
		if (!FFileHelper::LoadFileToArray(Bytes, *Filename))
		{
			Fail(TEXT("the file cannot be read"));
		}
		const std::string BaseDir = FPaths::GetPath(Filename).ToStdString();
		tinygltf::TinyGLTF Loader;
		Loader.SetImageLoader(&SkipImage, nullptr);
		Loader.SetFsCallbacks({&tinygltf::FileExists, &tinygltf::ExpandFilePath, &ReadFileBesideGltf, &tinygltf::WriteWholeFile, const_cast<std::string*>(&BaseDir)});
		tinygltf::Model Model;
		std::string Error;
		std::string Warning;
		const bool bBinary = Bytes.Num() >= 4 && std::memcmp(Bytes.GetData(), "glTF", 4) == 0;
		const bool bLoaded = bBinary
			? Loader.LoadBinaryFromMemory(&Model, &Error, &Warning, Bytes.GetData(), uint32(Bytes.Num()), BaseDir)
			: Loader.LoadASCIIFromString(&Model, &Error, &Warning, reinterpret_cast<const char*>(Bytes.GetData()), uint32(Bytes.Num()), BaseDir);
		if (!bLoaded)
		{
			const FString Reason = ToFString(Error).TrimStartAndEnd();
			Fail(FString::Printf(TEXT("not a valid glTF %s file (%s)"), bBinary ? TEXT("binary") : TEXT("text"),
				Reason.IsEmpty() ? TEXT("no reason given") : *Reason));
		}
		return Model;
	}

	int32 ComponentCount(int Type)
	{
		switch (Type)
		{
		case TINYGLTF_TYPE_SCALAR: return 1;
		case TINYGLTF_TYPE_VEC2: return 2;
		case TINYGLTF_TYPE_VEC3: return 3;
		case TINYGLTF_TYPE_VEC4: return 4;
		case TINYGLTF_TYPE_MAT2: return 4;
		case TINYGLTF_TYPE_MAT3: return 9;
		case TINYGLTF_TYPE_MAT4: return 16;
		default: return 0;
		}
	}

	int32 ComponentSize(int ComponentType)
	{
		switch (ComponentType)
		{
		case TINYGLTF_COMPONENT_TYPE_BYTE:
		case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE: return 1;
		case TINYGLTF_COMPONENT_TYPE_SHORT:
		case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT: return 2;
		case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT:
		case TINYGLTF_COMPONENT_TYPE_FLOAT: return 4;
		default: return 0;
		}
	}

	double ReadComponent(const uint8* Data, int ComponentType, bool bNormalized)
	{
		auto Read = [Data]<typename T>(T) { T Value; std::memcpy(&Value, Data, sizeof(T)); return Value; };
		switch (ComponentType)
		{
		case TINYGLTF_COMPONENT_TYPE_BYTE: return bNormalized ? std::max(Read(int8()) / 127.0, -1.0) : Read(int8());
		case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE: return bNormalized ? Read(uint8()) / 255.0 : Read(uint8());
		case TINYGLTF_COMPONENT_TYPE_SHORT: return bNormalized ? std::max(Read(int16()) / 32767.0, -1.0) : Read(int16());
		case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT: return bNormalized ? Read(uint16()) / 65535.0 : Read(uint16());
		case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT: return bNormalized ? Read(uint32()) / 4294967295.0 : Read(uint32());
		default: return Read(float());
		}
	}

	/**
	 * Where Count elements of ElementSize bytes start inside buffer view ViewIndex, and their
	 * stride; everything they cover is checked to lie inside the view and its buffer.
	 */
	const uint8* ResolveView(const tinygltf::Model& Model, int ViewIndex, uint64 Offset, int64 Count, int32 ElementSize, bool bPacked, int64& OutStride,
		const FString& What)
	{
		if (ViewIndex < 0 || ViewIndex >= int(Model.bufferViews.size()))
		{
			Fail(FString::Printf(TEXT("%s names buffer view %d, which does not exist"), *What, ViewIndex));
		}
		const tinygltf::BufferView& View = Model.bufferViews[ViewIndex];
		if (View.buffer < 0 || View.buffer >= int(Model.buffers.size()))
		{
			Fail(FString::Printf(TEXT("buffer view %d names buffer %d, which does not exist"), ViewIndex, View.buffer));
		}
		const std::vector<unsigned char>& Buffer = Model.buffers[View.buffer].data;
		if (View.byteOffset > Buffer.size() || View.byteLength > Buffer.size() - View.byteOffset)
		{
			Fail(FString::Printf(TEXT("buffer view %d reaches past the end of buffer %d"), ViewIndex, View.buffer));
		}
		OutStride = (bPacked || View.byteStride == 0) ? ElementSize : int64(View.byteStride);
		if (OutStride < ElementSize || OutStride > 252)
		{
			Fail(FString::Printf(TEXT("buffer view %d has a byte stride of %lld for %s"), ViewIndex, (long long)OutStride, *What));
		}
		const uint64 Needed = Count == 0 ? 0 : uint64(OutStride) * uint64(Count - 1) + uint64(ElementSize);
		if (Offset > View.byteLength || Needed > View.byteLength - Offset)
		{
			Fail(FString::Printf(TEXT("%s reaches past the end of buffer view %d"), *What, ViewIndex));
		}
		return Buffer.data() + View.byteOffset + Offset;
	}

	/** The values of accessor Index, Components per element, as doubles (normalized integers mapped to [0, 1] or [-1, 1]). */
	TArray<double> ReadAccessor(const tinygltf::Model& Model, int Index, int32& OutComponents, const FString& Use)
	{
		if (Index < 0 || Index >= int(Model.accessors.size()))
		{
			Fail(FString::Printf(TEXT("%s names accessor %d, which does not exist"), *Use, Index));
		}
		const tinygltf::Accessor& Accessor = Model.accessors[Index];
		const FString What = FString::Printf(TEXT("accessor %d (%s)"), Index, *Use);
		OutComponents = ComponentCount(Accessor.type);
		const int32 Size = ComponentSize(Accessor.componentType);
		if (OutComponents == 0 || Size == 0)
		{
			Fail(FString::Printf(TEXT("%s has an unknown type or component type"), *What));
		}
		const int64 Count = int64(Accessor.count);
		if (Accessor.count > size_t(MaxElements) || Count * OutComponents > MaxElements)
		{
			Fail(FString::Printf(TEXT("%s claims %lld elements, more than can be imported"), *What, (long long)Count));
		}
		TArray<double> Values;
		Values.SetNumZeroed(int32(Count * OutComponents));
		const int32 ElementSize = OutComponents * Size;
		if (Accessor.bufferView >= 0)
		{
			int64 Stride = 0;
			const uint8* Data = ResolveView(Model, Accessor.bufferView, Accessor.byteOffset, Count, ElementSize, false, Stride, What);
			for (int64 Element = 0; Element < Count; ++Element)
			{
				for (int32 Component = 0; Component < OutComponents; ++Component)
				{
					Values[int32(Element * OutComponents + Component)] = ReadComponent(Data + Element * Stride + Component * Size, Accessor.componentType, Accessor.normalized);
				}
			}
		}
		if (Accessor.sparse.isSparse)
		{
			const int64 SparseCount = Accessor.sparse.count;
			const int32 IndexSize = ComponentSize(Accessor.sparse.indices.componentType);
			if (SparseCount < 0 || SparseCount > Count || IndexSize == 0 || Accessor.sparse.indices.componentType == TINYGLTF_COMPONENT_TYPE_FLOAT
				|| Accessor.sparse.indices.byteOffset < 0 || Accessor.sparse.values.byteOffset < 0)
			{
				Fail(FString::Printf(TEXT("%s has damaged sparse data"), *What));
			}
			int64 Stride = 0;
			const uint8* Indices = ResolveView(Model, Accessor.sparse.indices.bufferView, uint64(Accessor.sparse.indices.byteOffset), SparseCount, IndexSize, true, Stride, What);
			const uint8* SparseValues = ResolveView(Model, Accessor.sparse.values.bufferView, uint64(Accessor.sparse.values.byteOffset), SparseCount, ElementSize, true, Stride, What);
			for (int64 Entry = 0; Entry < SparseCount; ++Entry)
			{
				const double Element = ReadComponent(Indices + Entry * IndexSize, Accessor.sparse.indices.componentType, false);
				if (Element >= double(Count))
				{
					Fail(FString::Printf(TEXT("%s has a sparse index past its %lld elements"), *What, (long long)Count));
				}
				for (int32 Component = 0; Component < OutComponents; ++Component)
				{
					Values[int32(int64(Element) * OutComponents + Component)] = ReadComponent(SparseValues + Entry * ElementSize + Component * Size, Accessor.componentType, Accessor.normalized);
				}
			}
		}
		for (const double Value : Values)
		{
			if (!std::isfinite(Value))
			{
				Fail(FString::Printf(TEXT("%s holds a value that is not a finite number"), *What));
			}
		}
		return Values;
	}

	/** ReadAccessor for an attribute that must have Components per element and, unless ExpectedCount is negative, that many elements. */
	TArray<double> ReadAttribute(const tinygltf::Model& Model, int Index, const TArray<int32>& AllowedComponents, int64 ExpectedCount, const FString& Use)
	{
		int32 Components = 0;
		TArray<double> Values = ReadAccessor(Model, Index, Components, Use);
		if (!AllowedComponents.Contains(Components))
		{
			Fail(FString::Printf(TEXT("accessor %d (%s) has %d components per element"), Index, *Use, Components));
		}
		if (ExpectedCount >= 0 && Values.Num() != ExpectedCount * Components)
		{
			Fail(FString::Printf(TEXT("accessor %d (%s) has %d elements where %lld are needed"), Index, *Use, Values.Num() / Components, (long long)ExpectedCount));
		}
		return Values;
	}

	// The axis change, documented in GltfImporter.h.
	FVector3f ConvertPosition(const double* V) { return FVector3f(float(100.0 * V[2]), float(-100.0 * V[0]), float(100.0 * V[1])); }
	FVector3f ConvertDirection(const double* V) { return FVector3f(float(V[2]), float(-V[0]), float(V[1])); }
	FVector ConvertScale(const double* V) { return FVector(V[2], V[0], V[1]); }
	FQuat ConvertRotation(const double* Q) { return FQuat(-Q[2], Q[0], -Q[1], Q[3]); }

	FQuat NormalizedOrIdentity(const FQuat& Q)
	{
		const double Length = std::sqrt(Q.X * Q.X + Q.Y * Q.Y + Q.Z * Q.Z + Q.W * Q.W);
		return Length > 1e-12 ? Q / Length : FQuat(0, 0, 0, 1);
	}

	/** The rotation of a matrix whose columns are orthonormal, as a quaternion (x, y, z, w) in the matrix's own axes. */
	void RotationMatrixToQuat(const double R[3][3], double* Out)
	{
		const double Trace = R[0][0] + R[1][1] + R[2][2];
		if (Trace > 0)
		{
			const double S = std::sqrt(Trace + 1.0) * 2.0;
			Out[0] = (R[2][1] - R[1][2]) / S;
			Out[1] = (R[0][2] - R[2][0]) / S;
			Out[2] = (R[1][0] - R[0][1]) / S;
			Out[3] = 0.25 * S;
		}
		else if (R[0][0] > R[1][1] && R[0][0] > R[2][2])
		{
			const double S = std::sqrt(1.0 + R[0][0] - R[1][1] - R[2][2]) * 2.0;
			Out[0] = 0.25 * S;
			Out[1] = (R[0][1] + R[1][0]) / S;
			Out[2] = (R[0][2] + R[2][0]) / S;
			Out[3] = (R[2][1] - R[1][2]) / S;
		}
		else if (R[1][1] > R[2][2])
		{
			const double S = std::sqrt(1.0 + R[1][1] - R[0][0] - R[2][2]) * 2.0;
			Out[0] = (R[0][1] + R[1][0]) / S;
			Out[1] = 0.25 * S;
			Out[2] = (R[1][2] + R[2][1]) / S;
			Out[3] = (R[0][2] - R[2][0]) / S;
		}
		else
		{
			const double S = std::sqrt(1.0 + R[2][2] - R[0][0] - R[1][1]) * 2.0;
			Out[0] = (R[0][2] + R[2][0]) / S;
			Out[1] = (R[1][2] + R[2][1]) / S;
			Out[2] = 0.25 * S;
			Out[3] = (R[1][0] - R[0][1]) / S;
		}
	}

	/** A node's translation, rotation and scale in glTF's axes, from its TRS properties or its matrix. */
	struct FGltfTrs
	{
		double Translation[3] = {0, 0, 0};
		double Rotation[4] = {0, 0, 0, 1};
		double Scale[3] = {1, 1, 1};

		FTransform ToEngine() const
		{
			return FTransform(NormalizedOrIdentity(ConvertRotation(Rotation)), FVector(ConvertPosition(Translation)), ConvertScale(Scale));
		}
	};

	FGltfTrs NodeTrs(const tinygltf::Model& Model, int NodeIndex)
	{
		const tinygltf::Node& Node = Model.nodes[NodeIndex];
		FGltfTrs Trs;
		auto Copy = [&](const std::vector<double>& From, double* To, size_t Size, const TCHAR* Property)
		{
			if (From.empty())
			{
				return;
			}
			if (From.size() != Size || !std::all_of(From.begin(), From.end(), [](double V) { return std::isfinite(V); }))
			{
				Fail(FString::Printf(TEXT("node %d has a damaged %s"), NodeIndex, Property));
			}
			std::copy(From.begin(), From.end(), To);
		};
		Copy(Node.translation, Trs.Translation, 3, TEXT("translation"));
		Copy(Node.rotation, Trs.Rotation, 4, TEXT("rotation"));
		Copy(Node.scale, Trs.Scale, 3, TEXT("scale"));
		if (!Node.matrix.empty())
		{
			double M[16];
			Copy(Node.matrix, M, 16, TEXT("matrix"));
			// Column-major: columns 0 to 2 are the scaled axes, column 3 the translation.
			double R[3][3];
			for (int Column = 0; Column < 3; ++Column)
			{
				const double* Axis = M + Column * 4;
				Trs.Scale[Column] = std::sqrt(Axis[0] * Axis[0] + Axis[1] * Axis[1] + Axis[2] * Axis[2]);
				if (Trs.Scale[Column] < 1e-12)
				{
					Fail(FString::Printf(TEXT("node %d has a matrix that flattens an axis"), NodeIndex));
				}
				for (int Row = 0; Row < 3; ++Row)
				{
					R[Row][Column] = Axis[Row] / Trs.Scale[Column];
				}
			}
			const double Determinant = R[0][0] * (R[1][1] * R[2][2] - R[1][2] * R[2][1]) - R[0][1] * (R[1][0] * R[2][2] - R[1][2] * R[2][0])
				+ R[0][2] * (R[1][0] * R[2][1] - R[1][1] * R[2][0]);
			if (Determinant < 0)
			{
				// A mirroring matrix: the mirror goes into the scale so that the rest is a rotation.
				Trs.Scale[0] = -Trs.Scale[0];
				for (int Row = 0; Row < 3; ++Row)
				{
					R[Row][0] = -R[Row][0];
				}
			}
			RotationMatrixToQuat(R, Trs.Rotation);
			std::copy(M + 12, M + 15, Trs.Translation);
		}
		return Trs;
	}

	/** The parent of every node (INDEX_NONE for scene roots); a node listed as a child twice or a cycle is refused. */
	TArray<int32> NodeParents(const tinygltf::Model& Model)
	{
		TArray<int32> Parents;
		Parents.Init(INDEX_NONE, int32(Model.nodes.size()));
		for (int32 Node = 0; Node < Parents.Num(); ++Node)
		{
			for (const int Child : Model.nodes[Node].children)
			{
				if (Child < 0 || Child >= Parents.Num() || Parents[Child] != INDEX_NONE || Child == Node)
				{
					Fail(FString::Printf(TEXT("node %d lists child %d, which does not exist or has another parent"), Node, Child));
				}
				Parents[Child] = Node;
			}
		}
		for (int32 Node = 0; Node < Parents.Num(); ++Node)
		{
			int32 Steps = 0;
			for (int32 Ancestor = Parents[Node]; Ancestor != INDEX_NONE; Ancestor = Parents[Ancestor])
			{
				if (++Steps > Parents.Num())
				{
					Fail(FString::Printf(TEXT("node %d is its own ancestor"), Node));
				}
			}
		}
		return Parents;
	}

	/**
	 * A name for a bone, slot or morph target that Used does not hold yet (FNames compare
	 * without letter case): Wanted, or Prefix<Index> when the file gives none, with "_<Index>"
	 * appended when taken. The result is added to Used.
	 */
	FName MakeUniqueName(TSet<FName>& Used, const std::string& Wanted, const TCHAR* Prefix, int32 Index)
	{
		FString Name = Wanted.empty() ? FString::Printf(TEXT("%s%d"), Prefix, Index) : ToFString(Wanted);
		if (Used.Contains(FName(Name)))
		{
			Name += FString::Printf(TEXT("_%d"), Index);
		}
		while (Used.Contains(FName(Name)))
		{
			Name += TEXT("_");
		}
		Used.Add(FName(Name));
		return FName(Name);
	}

	/** An object name for Name: characters that would split an object path are replaced. */
	FName ObjectNameFor(FName Name)
	{
		FString Text = Name.ToString();
		for (const TCHAR* Invalid : {TEXT("."), TEXT(":"), TEXT("/"), TEXT("\\"), TEXT(",")})
		{
			Text.ReplaceInline(Invalid, TEXT("_"));
		}
		return FName(Text);
	}

	/**
	 * The bones made from the joint nodes: in an order where parents come first, each with its
	 * parent bone, its name, and the transforms of the non-joint nodes between it and that
	 * parent, which are folded into the bone's pose.
	 */
	struct FGltfBones
	{
		TArray<int32> Nodes;
		TArray<int32> Parents;
		TArray<FName> Names;
		TArray<FString> ExportNames;
		TArray<FTransform> Folds;
		/** The bone of each entry of the joint list the bones were made from. */
		TArray<int32> BoneOfJoint;
		TMap<int32, int32> BoneOfNode;

		FTransform RefPose(const tinygltf::Model& Model, int32 Bone) const { return NodeTrs(Model, Nodes[Bone]).ToEngine() * Folds[Bone]; }
	};

	FGltfBones MakeBones(const tinygltf::Model& Model, const TArray<int32>& JointNodes)
	{
		const TArray<int32> Parents = NodeParents(Model);
		TSet<int32> JointSet;
		for (const int32 Node : JointNodes)
		{
			if (Node < 0 || Node >= Parents.Num() || JointSet.Contains(Node))
			{
				Fail(FString::Printf(TEXT("the skin lists joint node %d, which does not exist or is listed twice"), Node));
			}
			JointSet.Add(Node);
		}
		struct FJoint
		{
			int32 Joint;
			int32 Depth;
			int32 ParentNode;
			FTransform Fold;
		};
		TArray<FJoint> Joints;
		for (int32 Joint = 0; Joint < JointNodes.Num(); ++Joint)
		{
			FJoint& Entry = Joints.Add_GetRef({Joint, 0, INDEX_NONE, FTransform::Identity});
			for (int32 Ancestor = Parents[JointNodes[Joint]]; Ancestor != INDEX_NONE; Ancestor = Parents[Ancestor])
			{
				if (JointSet.Contains(Ancestor))
				{
					if (Entry.ParentNode == INDEX_NONE)
					{
						Entry.ParentNode = Ancestor;
					}
					++Entry.Depth;
				}
				else if (Entry.ParentNode == INDEX_NONE)
				{
					Entry.Fold = Entry.Fold * NodeTrs(Model, Ancestor).ToEngine();
				}
			}
		}
		std::stable_sort(Joints.GetData(), Joints.GetData() + Joints.Num(), [](const FJoint& A, const FJoint& B) { return A.Depth < B.Depth; });

		FGltfBones Bones;
		Bones.BoneOfJoint.SetNum(JointNodes.Num());
		TSet<FName> Names;
		for (const FJoint& Joint : Joints)
		{
			const int32 Node = JointNodes[Joint.Joint];
			const int32 Bone = Bones.Nodes.Add(Node);
			Bones.Parents.Add(Joint.ParentNode == INDEX_NONE ? INDEX_NONE : Bones.BoneOfNode.FindChecked(Joint.ParentNode));
			Bones.Names.Add(MakeUniqueName(Names, Model.nodes[Node].name, TEXT("Joint"), Node));
			Bones.ExportNames.Add(ToFString(Model.nodes[Node].name));
			Bones.Folds.Add(Joint.Fold);
			Bones.BoneOfJoint[Joint.Joint] = Bone;
			Bones.BoneOfNode.Add(Node, Bone);
		}
		return Bones;
	}

	FReferenceSkeleton MakeReferenceSkeleton(const tinygltf::Model& Model, const FGltfBones& Bones)
	{
		if (Bones.Nodes.Num() > int32(MAX_uint16))
		{
			Fail(FString::Printf(TEXT("the skin has %d joints, more than a mesh can address"), Bones.Nodes.Num()));
		}
		FReferenceSkeleton RefSkeleton;
		FReferenceSkeletonModifier Modifier(RefSkeleton, nullptr);
		for (int32 Bone = 0; Bone < Bones.Nodes.Num(); ++Bone)
		{
			Modifier.Add(FMeshBoneInfo(Bones.Names[Bone], Bones.ExportNames[Bone], Bones.Parents[Bone]), Bones.RefPose(Model, Bone), true);
		}
		return RefSkeleton;
	}

	/** The CPU-side LOD 0 data, gathered over all primitives before the buffers are made. */
	struct FMeshBuild
	{
		TArray<FVector3f> Positions;
		TArray<FVector3f> TangentX;
		TArray<FVector3f> TangentY;
		TArray<FVector3f> TangentZ;
		TArray<TArray<FVector2f>> UVs;
		TArray<FColor> Colors;
		TArray<FSkinWeightInfo> Weights;
		TArray<uint32> Indices;
		TArray<FSkelMeshRenderSection> Sections;
	};

	int FindAttribute(const tinygltf::Primitive& Primitive, const std::string& Name)
	{
		const auto Found = Primitive.attributes.find(Name);
		return Found == Primitive.attributes.end() ? -1 : Found->second;
	}

	/** Weights of one vertex as the engine stores them: the strongest influences, summing to exactly 65535. */
	FSkinWeightInfo QuantizeWeights(TArray<TPair<int32, double>>& Influences, const FString& Vertex)
	{
		TArray<TPair<int32, double>> Merged;
		for (const TPair<int32, double>& Influence : Influences)
		{
			if (Influence.Value < 0)
			{
				Fail(FString::Printf(TEXT("%s has a negative skin weight"), *Vertex));
			}
			TPair<int32, double>* Existing = Merged.FindByPredicate([&](const TPair<int32, double>& Entry) { return Entry.Key == Influence.Key; });
			if (Existing)
			{
				Existing->Value += Influence.Value;
			}
			else if (Influence.Value > 0)
			{
				Merged.Add(Influence);
			}
		}
		std::stable_sort(Merged.GetData(), Merged.GetData() + Merged.Num(), [](const auto& A, const auto& B) { return A.Value > B.Value; });
		Merged.SetNum(std::min(Merged.Num(), int32(MAX_TOTAL_INFLUENCES)));
		double Sum = 0;
		for (const auto& Entry : Merged)
		{
			Sum += Entry.Value;
		}
		if (Sum <= 0)
		{
			Fail(FString::Printf(TEXT("%s has no skin weight"), *Vertex));
		}
		FSkinWeightInfo Info;
		int32 Total = 0;
		for (int32 Slot = 0; Slot < Merged.Num(); ++Slot)
		{
			Info.InfluenceBones[Slot] = FBoneIndexType(Merged[Slot].Key);
			Info.InfluenceWeights[Slot] = uint16(std::lround(Merged[Slot].Value / Sum * 65535.0));
			Total += Info.InfluenceWeights[Slot];
		}
		// Rounding leaves the sum a few units off; the strongest influence takes the difference.
		Info.InfluenceWeights[0] = uint16(Info.InfluenceWeights[0] + (65535 - Total));
		return Info;
	}

	void AddPrimitive(const tinygltf::Model& Model, const tinygltf::Primitive& Primitive, int32 PrimitiveIndex, int32 MaterialSlot, const FGltfBones& Bones, int32 NumBones, FMeshBuild& Build)
	{
		const FString Where = FString::Printf(TEXT("primitive %d"), PrimitiveIndex);
		if (Primitive.mode != TINYGLTF_MODE_TRIANGLES)
		{
			Fail(FString::Printf(TEXT("%s is not a triangle list (mode %d)"), *Where, Primitive.mode));
		}
		const int PositionAccessor = FindAttribute(Primitive, "POSITION");
		if (PositionAccessor < 0)
		{
			Fail(FString::Printf(TEXT("%s has no POSITION"), *Where));
		}
		const TArray<double> Positions = ReadAttribute(Model, PositionAccessor, {3}, -1, Where + TEXT(" POSITION"));
		const int32 NumVertices = Positions.Num() / 3;
		const int32 BaseVertex = Build.Positions.Num();
		if (int64(BaseVertex) + NumVertices > MaxElements)
		{
			Fail(TEXT("the mesh has more vertices than can be imported"));
		}

		TArray<uint32> Indices;
		if (Primitive.indices >= 0)
		{
			for (const double Index : ReadAttribute(Model, Primitive.indices, {1}, -1, Where + TEXT(" indices")))
			{
				if (Index < 0 || Index >= NumVertices || Index != std::floor(Index))
				{
					Fail(FString::Printf(TEXT("%s has a vertex index %.0f past its %d vertices"), *Where, Index, NumVertices));
				}
				Indices.Add(uint32(Index));
			}
		}
		else
		{
			for (int32 Vertex = 0; Vertex < NumVertices; ++Vertex)
			{
				Indices.Add(uint32(Vertex));
			}
		}
		if (Indices.Num() % 3 != 0)
		{
			Fail(FString::Printf(TEXT("%s has %d indices, which is not a whole number of triangles"), *Where, Indices.Num()));
		}

		const int NormalAccessor = FindAttribute(Primitive, "NORMAL");
		const int TangentAccessor = FindAttribute(Primitive, "TANGENT");
		const TArray<double> Normals = NormalAccessor >= 0 ? ReadAttribute(Model, NormalAccessor, {3}, NumVertices, Where + TEXT(" NORMAL")) : TArray<double>();
		const TArray<double> Tangents = TangentAccessor >= 0 && NormalAccessor >= 0 ? ReadAttribute(Model, TangentAccessor, {4}, NumVertices, Where + TEXT(" TANGENT")) : TArray<double>();
		const int ColorAccessor = FindAttribute(Primitive, "COLOR_0");
		int32 ColorComponents = 0;
		TArray<double> Colors;
		if (ColorAccessor >= 0)
		{
			Colors = ReadAttribute(Model, ColorAccessor, {3, 4}, NumVertices, Where + TEXT(" COLOR_0"));
			ColorComponents = NumVertices > 0 ? Colors.Num() / NumVertices : 3;
		}

		TArray<TArray<double>> UVChannels;
		for (int32 Channel = 0; Channel < int32(FStaticMeshVertexBuffer::MAX_TEXCOORDS); ++Channel)
		{
			const std::string Attribute = "TEXCOORD_" + std::to_string(Channel);
			const int Accessor = FindAttribute(Primitive, Attribute);
			if (Accessor < 0)
			{
				break;
			}
			UVChannels.Add(ReadAttribute(Model, Accessor, {2}, NumVertices, Where + TEXT(" ") + ToFString(Attribute)));
		}

		TArray<TArray<TPair<int32, double>>> Influences;
		Influences.SetNum(NumVertices);
		for (int32 Set = 0; Set * 4 < MAX_TOTAL_INFLUENCES; ++Set)
		{
			const int JointAccessor = FindAttribute(Primitive, "JOINTS_" + std::to_string(Set));
			const int WeightAccessor = FindAttribute(Primitive, "WEIGHTS_" + std::to_string(Set));
			if (JointAccessor < 0 || WeightAccessor < 0)
			{
				if (Set == 0)
				{
					Fail(FString::Printf(TEXT("%s has no JOINTS_0 and WEIGHTS_0, so it cannot be skinned"), *Where));
				}
				break;
			}
			const TArray<double> Joints = ReadAttribute(Model, JointAccessor, {4}, NumVertices, FString::Printf(TEXT("%s JOINTS_%d"), *Where, Set));
			const TArray<double> Weights = ReadAttribute(Model, WeightAccessor, {4}, NumVertices, FString::Printf(TEXT("%s WEIGHTS_%d"), *Where, Set));
			for (int32 Vertex = 0; Vertex < NumVertices; ++Vertex)
			{
				for (int32 Slot = 0; Slot < 4; ++Slot)
				{
					const double Joint = Joints[Vertex * 4 + Slot];
					const double Weight = Weights[Vertex * 4 + Slot];
					if (Weight == 0)
					{
						continue;
					}
					if (Joint < 0 || Joint >= Bones.BoneOfJoint.Num() || Joint != std::floor(Joint))
					{
						Fail(FString::Printf(TEXT("%s vertex %d names joint %.0f, but the skin has %d joints"), *Where, Vertex, Joint, Bones.BoneOfJoint.Num()));
					}
					Influences[Vertex].Add({Bones.BoneOfJoint[int32(Joint)], Weight});
				}
			}
		}

		int32 MaxInfluences = 1;
		for (int32 Vertex = 0; Vertex < NumVertices; ++Vertex)
		{
			Build.Positions.Add(ConvertPosition(&Positions[Vertex * 3]));
			FVector3f X(1, 0, 0);
			FVector3f Y(0, 1, 0);
			FVector3f Z(0, 0, 1);
			if (!Normals.IsEmpty())
			{
				const double* N = &Normals[Vertex * 3];
				Z = ConvertDirection(N).GetSafeNormal(UE_SMALL_NUMBER, FVector3f(0, 0, 1));
				if (!Tangents.IsEmpty())
				{
					// The bitangent is worked out in glTF's axes, where the sign in W is defined.
					const double* T = &Tangents[Vertex * 4];
					const double B[3] = {(N[1] * T[2] - N[2] * T[1]) * T[3], (N[2] * T[0] - N[0] * T[2]) * T[3], (N[0] * T[1] - N[1] * T[0]) * T[3]};
					X = ConvertDirection(T);
					Y = ConvertDirection(B);
				}
				else
				{
					const FVector3f Reference = std::abs(Z.Z) < 0.9f ? FVector3f(0, 0, 1) : FVector3f(1, 0, 0);
					X = (Reference ^ Z).GetSafeNormal();
					Y = Z ^ X;
				}
			}
			Build.TangentX.Add(X);
			Build.TangentY.Add(Y);
			Build.TangentZ.Add(Z);
			if (Colors.IsEmpty())
			{
				Build.Colors.Add(FColor::White);
			}
			else
			{
				const double* C = &Colors[Vertex * ColorComponents];
				auto Channel = [](double Value) { return float(std::clamp(Value, 0.0, 1.0)); };
				Build.Colors.Add(FLinearColor(Channel(C[0]), Channel(C[1]), Channel(C[2]), ColorComponents == 4 ? Channel(C[3]) : 1.0f).ToFColor(true));
			}
			const FSkinWeightInfo Info = QuantizeWeights(Influences[Vertex], FString::Printf(TEXT("%s vertex %d"), *Where, Vertex));
			Build.Weights.Add(Info);
			for (int32 Slot = 0; Slot < MAX_TOTAL_INFLUENCES; ++Slot)
			{
				if (Info.InfluenceWeights[Slot] != 0)
				{
					MaxInfluences = std::max(MaxInfluences, Slot + 1);
				}
			}
		}
		for (int32 Channel = 0; Channel < UVChannels.Num(); ++Channel)
		{
			if (Build.UVs.Num() <= Channel)
			{
				Build.UVs.AddDefaulted_GetRef().SetNumZeroed(BaseVertex);
			}
			for (int32 Vertex = 0; Vertex < NumVertices; ++Vertex)
			{
				Build.UVs[Channel].Add(FVector2f(float(UVChannels[Channel][Vertex * 2]), float(UVChannels[Channel][Vertex * 2 + 1])));
			}
		}
		for (TArray<FVector2f>& Channel : Build.UVs)
		{
			Channel.SetNumZeroed(Build.Positions.Num());
		}

		FSkelMeshRenderSection& Section = Build.Sections.AddDefaulted_GetRef();
		Section.MaterialIndex = uint16(MaterialSlot);
		Section.BaseIndex = uint32(Build.Indices.Num());
		Section.NumTriangles = uint32(Indices.Num() / 3);
		Section.BaseVertexIndex = uint32(BaseVertex);
		Section.NumVertices = uint32(NumVertices);
		Section.MaxBoneInfluences = MaxInfluences;
		for (int32 Bone = 0; Bone < NumBones; ++Bone)
		{
			Section.BoneMap.Add(FBoneIndexType(Bone));
		}
		for (int32 Triangle = 0; Triangle < Indices.Num(); Triangle += 3)
		{
			// Swapping two corners undoes the winding flip of the mirrored axes.
			Build.Indices.Append({BaseVertex + Indices[Triangle], BaseVertex + Indices[Triangle + 2], BaseVertex + Indices[Triangle + 1]});
		}
	}

	/** The morph target names: extras.targetNames where the mesh has them, "Morph<index>" otherwise. */
	TArray<FName> MorphTargetNames(const tinygltf::Mesh& Mesh, int32 NumTargets)
	{
		TSet<FName> Names;
		TArray<FName> Result;
		const tinygltf::Value* TargetNames = nullptr;
		if (Mesh.extras.IsObject() && Mesh.extras.Has("targetNames") && Mesh.extras.Get("targetNames").IsArray())
		{
			TargetNames = &Mesh.extras.Get("targetNames");
		}
		for (int32 Target = 0; Target < NumTargets; ++Target)
		{
			std::string Wanted;
			if (TargetNames && size_t(Target) < TargetNames->ArrayLen() && TargetNames->Get(Target).IsString())
			{
				// Made fit for an object name before it is made unique, so two names cannot meet afterwards.
				Wanted = ObjectNameFor(FName(ToFString(TargetNames->Get(Target).Get<std::string>()))).ToString().ToStdString();
			}
			Result.Add(MakeUniqueName(Names, Wanted, TEXT("Morph"), Target));
		}
		return Result;
	}

	void AddMorphTargets(const tinygltf::Model& Model, const tinygltf::Mesh& GltfMesh, const FMeshBuild& Build, USkeletalMesh* Mesh)
	{
		const int32 NumTargets = int32(GltfMesh.primitives[0].targets.size());
		for (size_t Primitive = 0; Primitive < GltfMesh.primitives.size(); ++Primitive)
		{
			if (int32(GltfMesh.primitives[Primitive].targets.size()) != NumTargets)
			{
				Fail(FString::Printf(TEXT("primitive %d has %d morph targets where primitive 0 has %d"), int32(Primitive), int32(GltfMesh.primitives[Primitive].targets.size()), NumTargets));
			}
		}
		const TArray<FName> Names = MorphTargetNames(GltfMesh, NumTargets);
		TArray<UMorphTarget*> MorphTargets;
		for (int32 Target = 0; Target < NumTargets; ++Target)
		{
			TArray<FMorphTargetDelta> Deltas;
			TArray<int32> SectionIndices;
			for (int32 Primitive = 0; Primitive < int32(GltfMesh.primitives.size()); ++Primitive)
			{
				const std::map<std::string, int>& Attributes = GltfMesh.primitives[Primitive].targets[Target];
				const FSkelMeshRenderSection& Section = Build.Sections[Primitive];
				const FString Where = FString::Printf(TEXT("primitive %d morph target %d"), Primitive, Target);
				const auto Position = Attributes.find("POSITION");
				const auto Normal = Attributes.find("NORMAL");
				const TArray<double> Positions = Position != Attributes.end() ? ReadAttribute(Model, Position->second, {3}, Section.NumVertices, Where + TEXT(" POSITION")) : TArray<double>();
				const TArray<double> Normals = Normal != Attributes.end() ? ReadAttribute(Model, Normal->second, {3}, Section.NumVertices, Where + TEXT(" NORMAL")) : TArray<double>();
				bool bMoves = false;
				for (uint32 Vertex = 0; Vertex < Section.NumVertices; ++Vertex)
				{
					FMorphTargetDelta Delta;
					Delta.SourceIdx = Section.BaseVertexIndex + Vertex;
					Delta.PositionDelta = Positions.IsEmpty() ? FVector3f(0, 0, 0) : ConvertPosition(&Positions[Vertex * 3]);
					Delta.TangentZDelta = Normals.IsEmpty() ? FVector3f(0, 0, 0) : ConvertDirection(&Normals[Vertex * 3]);
					if (Delta.PositionDelta != FVector3f(0, 0, 0) || Delta.TangentZDelta != FVector3f(0, 0, 0))
					{
						Deltas.Add(Delta);
						bMoves = true;
					}
				}
				if (bMoves)
				{
					SectionIndices.Add(Primitive);
				}
			}
			UMorphTarget* MorphTarget = NewObject<UMorphTarget>(Mesh, Names[Target]);
			MorphTarget->PopulateDeltas(Deltas, 0, Build.Positions.Num());
			MorphTarget->GetMorphLODModels()[0].SectionIndices = SectionIndices;
			MorphTargets.Add(MorphTarget);
		}
		Mesh->SetMorphTargets(MorphTargets);
		for (UMorphTarget* MorphTarget : MorphTargets)
		{
			MorphTarget->BaseSkelMesh = Mesh;
		}
	}

	/**
	 * The slot names: one per material of the file, in the file's order, and "DefaultMaterial"
	 * when some primitive has no material; and the slot of every primitive.
	 */
	void MaterialSlots(const tinygltf::Model& Model, const tinygltf::Mesh& GltfMesh, TArray<FName>& OutSlotNames, TArray<int32>& OutPrimitiveSlots)
	{
		TSet<FName> Names;
		for (int32 Material = 0; Material < int32(Model.materials.size()); ++Material)
		{
			OutSlotNames.Add(MakeUniqueName(Names, Model.materials[Material].name, TEXT("Material"), Material));
		}
		int32 DefaultSlot = INDEX_NONE;
		for (size_t Primitive = 0; Primitive < GltfMesh.primitives.size(); ++Primitive)
		{
			const int Material = GltfMesh.primitives[Primitive].material;
			if (Material >= int(Model.materials.size()))
			{
				Fail(FString::Printf(TEXT("primitive %d names material %d, which does not exist"), int32(Primitive), Material));
			}
			if (Material < 0 && DefaultSlot == INDEX_NONE)
			{
				DefaultSlot = OutSlotNames.Add(MakeUniqueName(Names, "DefaultMaterial", TEXT(""), 0));
			}
			OutPrimitiveSlots.Add(Material < 0 ? DefaultSlot : Material);
		}
		if (OutSlotNames.Num() > int32(MAX_uint16))
		{
			Fail(TEXT("the file has more materials than a mesh can address"));
		}
	}

	void FillMesh(const tinygltf::Model& Model, USkeletalMesh* Mesh)
	{
		int32 MeshNode = INDEX_NONE;
		for (int32 Node = 0; Node < int32(Model.nodes.size()) && MeshNode == INDEX_NONE; ++Node)
		{
			if (Model.nodes[Node].mesh >= 0 && Model.nodes[Node].skin >= 0)
			{
				MeshNode = Node;
			}
		}
		if (MeshNode == INDEX_NONE)
		{
			Fail(TEXT("the file has no skinned mesh (no node with both a mesh and a skin)"));
		}
		const tinygltf::Node& Node = Model.nodes[MeshNode];
		if (Node.mesh >= int(Model.meshes.size()) || Node.skin >= int(Model.skins.size()))
		{
			Fail(FString::Printf(TEXT("node %d names a mesh or skin that does not exist"), MeshNode));
		}
		const tinygltf::Mesh& GltfMesh = Model.meshes[Node.mesh];
		const tinygltf::Skin& Skin = Model.skins[Node.skin];
		if (Skin.joints.empty())
		{
			Fail(FString::Printf(TEXT("skin %d has no joints"), Node.skin));
		}
		if (GltfMesh.primitives.empty())
		{
			Fail(FString::Printf(TEXT("mesh %d has no primitives"), Node.mesh));
		}

		const FGltfBones Bones = MakeBones(Model, TArray<int32>(Skin.joints.data(), int32(Skin.joints.size())));
		Mesh->SetRefSkeleton(MakeReferenceSkeleton(Model, Bones));
		TArray<FName> SlotNames;
		TArray<int32> PrimitiveSlots;
		MaterialSlots(Model, GltfMesh, SlotNames, PrimitiveSlots);
		FMeshBuild Build;
		for (int32 Primitive = 0; Primitive < int32(GltfMesh.primitives.size()); ++Primitive)
		{
			AddPrimitive(Model, GltfMesh.primitives[Primitive], Primitive, PrimitiveSlots[Primitive], Bones, Bones.Nodes.Num(), Build);
		}
		if (Build.Positions.IsEmpty())
		{
			Fail(TEXT("the mesh has no vertices"));
		}
		// Morph targets are named after their shapes, so they take their names inside the mesh
		// first; the materials and the skeleton make do with whatever names are left.
		AddMorphTargets(Model, GltfMesh, Build, Mesh);
		TArray<FSkeletalMaterial> Materials;
		for (const FName SlotName : SlotNames)
		{
			UMaterial* Material = NewObject<UMaterial>(Mesh, MakeUniqueObjectName(Mesh, UMaterial::StaticClass(), ObjectNameFor(SlotName)));
			Materials.Add(FSkeletalMaterial(Material, SlotName, SlotName));
		}
		Mesh->SetMaterials(Materials);
		USkeleton* Skeleton = NewObject<USkeleton>(Mesh, MakeUniqueObjectName(Mesh, USkeleton::StaticClass(), FName(TEXT("Skeleton"))));
		Skeleton->MergeAllBonesToBoneTree(Mesh);
		Mesh->SetSkeleton(Skeleton);

		const uint32 NumVertices = uint32(Build.Positions.Num());
		Mesh->AllocateResourceForRendering();
		FSkeletalMeshLODRenderData& LOD = Mesh->GetResourceForRendering()->LODRenderData.Emplace_GetRef();
		LOD.StaticVertexBuffers.PositionVertexBuffer.Init(Build.Positions, true);
		LOD.StaticVertexBuffers.StaticMeshVertexBuffer.Init(NumVertices, uint32(std::max(Build.UVs.Num(), 1)), true);
		LOD.StaticVertexBuffers.ColorVertexBuffer.InitFromColorArray(Build.Colors, true);
		for (uint32 Vertex = 0; Vertex < NumVertices; ++Vertex)
		{
			LOD.StaticVertexBuffers.StaticMeshVertexBuffer.SetVertexTangents(Vertex, Build.TangentX[Vertex], Build.TangentY[Vertex], Build.TangentZ[Vertex]);
			for (int32 Channel = 0; Channel < Build.UVs.Num(); ++Channel)
			{
				LOD.StaticVertexBuffers.StaticMeshVertexBuffer.SetVertexUV(Vertex, uint32(Channel), Build.UVs[Channel][Vertex]);
			}
		}
		LOD.SkinWeightVertexBuffer = Build.Weights;
		LOD.RenderSections = Build.Sections;
		LOD.MultiSizeIndexContainer.RebuildIndexBuffer(NumVertices > MAX_uint16 ? sizeof(uint32) : sizeof(uint16), Build.Indices);
		for (int32 Bone = 0; Bone < Bones.Nodes.Num(); ++Bone)
		{
			LOD.RequiredBones.Add(FBoneIndexType(Bone));
			LOD.ActiveBoneIndices.Add(FBoneIndexType(Bone));
		}
		TArray<FVector> Points;
		for (const FVector3f& Position : Build.Positions)
		{
			Points.Add(FVector(Position));
		}
		Mesh->SetImportedBounds(FBoxSphereBounds(FBox(Points)));
	}

	/** One animated property of one bone: key times and values in glTF's axes. */
	struct FChannel
	{
		TArray<double> Times;
		TArray<double> Values;
		int32 Components = 0;
		enum class EInterpolation { Step, Linear, CubicSpline } Interpolation = EInterpolation::Linear;

		/** The value at Time, held before the first key and after the last. */
		void Sample(double Time, double* Out) const
		{
			const int32 Stride = Interpolation == EInterpolation::CubicSpline ? Components * 3 : Components;
			const int32 ValueOffset = Interpolation == EInterpolation::CubicSpline ? Components : 0;
			auto Value = [&](int32 Key, int32 Which, int32 Component) { return Values[Key * Stride + Which * Components + Component]; };
			const int32 Next = int32(std::upper_bound(Times.GetData(), Times.GetData() + Times.Num(), Time) - Times.GetData());
			if (Next == 0 || Next == Times.Num() || Interpolation == EInterpolation::Step || Times[Next] <= Times[Next - 1])
			{
				const int32 Key = Next == 0 ? 0 : Next - 1;
				for (int32 Component = 0; Component < Components; ++Component)
				{
					Out[Component] = Values[Key * Stride + ValueOffset + Component];
				}
				return;
			}
			const int32 Key = Next - 1;
			const double Span = Times[Next] - Times[Key];
			const double S = (Time - Times[Key]) / Span;
			if (Interpolation == EInterpolation::CubicSpline)
			{
				const double S2 = S * S;
				const double S3 = S2 * S;
				for (int32 Component = 0; Component < Components; ++Component)
				{
					Out[Component] = (2 * S3 - 3 * S2 + 1) * Value(Key, 1, Component) + (S3 - 2 * S2 + S) * Span * Value(Key, 2, Component)
						+ (-2 * S3 + 3 * S2) * Value(Next, 1, Component) + (S3 - S2) * Span * Value(Next, 0, Component);
				}
			}
			else if (Components == 4)
			{
				const FQuat A(Value(Key, 0, 0), Value(Key, 0, 1), Value(Key, 0, 2), Value(Key, 0, 3));
				const FQuat B(Value(Next, 0, 0), Value(Next, 0, 1), Value(Next, 0, 2), Value(Next, 0, 3));
				const FQuat Q = FQuat::Slerp_NotNormalized(NormalizedOrIdentity(A), NormalizedOrIdentity(B), S);
				Out[0] = Q.X;
				Out[1] = Q.Y;
				Out[2] = Q.Z;
				Out[3] = Q.W;
			}
			else
			{
				for (int32 Component = 0; Component < Components; ++Component)
				{
					Out[Component] = Value(Key, 0, Component) + (Value(Next, 0, Component) - Value(Key, 0, Component)) * S;
				}
			}
		}
	};

	/** The channels of one bone; translation, rotation, scale. */
	struct FBoneChannels
	{
		TOptional<FChannel> Channels[3];
	};

	FChannel ReadChannel(const tinygltf::Model& Model, const tinygltf::Animation& Animation, const tinygltf::AnimationChannel& Source, int32 ChannelIndex, int32 Components)
	{
		const FString Where = FString::Printf(TEXT("animation channel %d"), ChannelIndex);
		if (Source.sampler < 0 || Source.sampler >= int(Animation.samplers.size()))
		{
			Fail(FString::Printf(TEXT("%s names sampler %d, which does not exist"), *Where, Source.sampler));
		}
		const tinygltf::AnimationSampler& Sampler = Animation.samplers[Source.sampler];
		FChannel Channel;
		Channel.Components = Components;
		if (Sampler.interpolation == "STEP")
		{
			Channel.Interpolation = FChannel::EInterpolation::Step;
		}
		else if (Sampler.interpolation == "CUBICSPLINE")
		{
			Channel.Interpolation = FChannel::EInterpolation::CubicSpline;
		}
		else if (!Sampler.interpolation.empty() && Sampler.interpolation != "LINEAR")
		{
			Fail(FString::Printf(TEXT("%s has an unknown interpolation '%s'"), *Where, Sampler.interpolation.c_str()));
		}
		Channel.Times = ReadAttribute(Model, Sampler.input, {1}, -1, Where + TEXT(" input"));
		if (Channel.Times.IsEmpty())
		{
			Fail(FString::Printf(TEXT("%s has no keys"), *Where));
		}
		for (int32 Key = 0; Key < Channel.Times.Num(); ++Key)
		{
			if (Channel.Times[Key] < 0 || (Key > 0 && Channel.Times[Key] < Channel.Times[Key - 1]))
			{
				Fail(FString::Printf(TEXT("%s has key times that are negative or out of order"), *Where));
			}
		}
		const int64 ValueCount = int64(Channel.Times.Num()) * (Channel.Interpolation == FChannel::EInterpolation::CubicSpline ? 3 : 1);
		Channel.Values = ReadAttribute(Model, Sampler.output, {Components}, ValueCount, Where + TEXT(" output"));
		return Channel;
	}

	/** Key times of the sequence: the file's own when they all sit on one even spacing from 0, else an even sampling. */
	int32 ChooseNumberOfKeys(const TArray<FBoneChannels>& Channels, double PlayLength)
	{
		if (PlayLength <= 0)
		{
			return 1;
		}
		TArray<double> Times;
		for (const FBoneChannels& Bone : Channels)
		{
			for (const TOptional<FChannel>& Channel : Bone.Channels)
			{
				if (Channel)
				{
					Times.Append(Channel->Times);
				}
			}
		}
		Times.Add(0.0);
		Times.Sort();
		const double Tolerance = 1e-5;
		double Spacing = PlayLength;
		for (int32 Index = 1; Index < Times.Num(); ++Index)
		{
			if (Times[Index] - Times[Index - 1] > Tolerance)
			{
				Spacing = std::min(Spacing, Times[Index] - Times[Index - 1]);
			}
		}
		const double Intervals = PlayLength / Spacing;
		bool bEven = Intervals < MaxAnimationKeys && std::abs(Intervals - std::round(Intervals)) < 1e-3;
		for (const double Time : Times)
		{
			bEven = bEven && std::abs(Time / Spacing - std::round(Time / Spacing)) < 1e-3;
		}
		if (bEven)
		{
			return int32(std::round(Intervals)) + 1;
		}
		const double Sampled = std::max(1.0, std::round(PlayLength * FallbackSampleRate)) + 1;
		if (Sampled > MaxAnimationKeys)
		{
			Fail(FString::Printf(TEXT("the animation is %.1f seconds long, more than can be imported"), PlayLength));
		}
		return int32(Sampled);
	}

	void FillAnimation(const tinygltf::Model& Model, UAnimSequence* Sequence)
	{
		if (Model.animations.empty())
		{
			Fail(TEXT("the file has no animation"));
		}
		const tinygltf::Animation& Animation = Model.animations[0];
		TArray<int32> JointNodes;
		if (!Model.skins.empty())
		{
			JointNodes = TArray<int32>(Model.skins[0].joints.data(), int32(Model.skins[0].joints.size()));
		}
		else
		{
			for (int32 Node = 0; Node < int32(Model.nodes.size()); ++Node)
			{
				JointNodes.Add(Node);
			}
		}
		const FGltfBones Bones = MakeBones(Model, JointNodes);

		TArray<FBoneChannels> Channels;
		Channels.SetNum(Bones.Nodes.Num());
		double PlayLength = 0;
		bool bAny = false;
		for (int32 ChannelIndex = 0; ChannelIndex < int32(Animation.channels.size()); ++ChannelIndex)
		{
			const tinygltf::AnimationChannel& Source = Animation.channels[ChannelIndex];
			const int32 Path = Source.target_path == "translation" ? 0 : Source.target_path == "rotation" ? 1 : Source.target_path == "scale" ? 2 : INDEX_NONE;
			const int32* Bone = Bones.BoneOfNode.Find(Source.target_node);
			if (Path == INDEX_NONE || !Bone)
			{
				continue;
			}
			FChannel Channel = ReadChannel(Model, Animation, Source, ChannelIndex, Path == 1 ? 4 : 3);
			PlayLength = std::max(PlayLength, Channel.Times.Last());
			Channels[*Bone].Channels[Path].Emplace(std::move(Channel));
			bAny = true;
		}
		if (!bAny)
		{
			Fail(TEXT("the file's first animation moves no joint"));
		}
		const int32 NumKeys = ChooseNumberOfKeys(Channels, PlayLength);

		TArray<FName> TrackNames;
		TArray<FRawAnimSequenceTrack> Tracks;
		for (int32 Bone = 0; Bone < Bones.Nodes.Num(); ++Bone)
		{
			const FBoneChannels& BoneChannels = Channels[Bone];
			if (!BoneChannels.Channels[0] && !BoneChannels.Channels[1] && !BoneChannels.Channels[2])
			{
				continue;
			}
			const FGltfTrs Rest = NodeTrs(Model, Bones.Nodes[Bone]);
			FRawAnimSequenceTrack& Track = Tracks.AddDefaulted_GetRef();
			TrackNames.Add(Bones.Names[Bone]);
			for (int32 Key = 0; Key < NumKeys; ++Key)
			{
				const double Time = NumKeys == 1 ? 0.0 : PlayLength * Key / (NumKeys - 1);
				FGltfTrs Trs = Rest;
				double* Targets[3] = {Trs.Translation, Trs.Rotation, Trs.Scale};
				for (int32 Path = 0; Path < 3; ++Path)
				{
					if (BoneChannels.Channels[Path])
					{
						BoneChannels.Channels[Path]->Sample(Time, Targets[Path]);
					}
				}
				const FTransform Pose = Trs.ToEngine() * Bones.Folds[Bone];
				Track.PosKeys.Add(FVector3f(Pose.GetTranslation()));
				Track.RotKeys.Add(FQuat4f(NormalizedOrIdentity(Pose.GetRotation())));
				Track.ScaleKeys.Add(FVector3f(Pose.GetScale3D()));
			}
		}
		Sequence->SetBoneTracks(float(PlayLength), NumKeys, TrackNames, Tracks);
	}

	/**
	 * Runs Fill on a new object of class T made in the transient package, and moves it to Name
	 * in Outer only when the whole file converted, so a failure leaves nothing under that name.
	 */
	template <typename T, typename FFill>
	T* Import(const FString& Filename, UObject* Outer, FName Name, FString& OutError, FFill Fill)
	{
		UObject* Destination = Outer ? Outer : GetTransientPackage();
		if (Name.IsNone())
		{
			Name = MakeUniqueObjectName(Destination, T::StaticClass(), FName(*FPaths::GetBaseFilename(Filename)));
		}
		if (StaticFindObject(nullptr, Destination, *Name.ToString()))
		{
			OutError = FString::Printf(TEXT("%s already holds an object called %s"), *Destination->GetName(), *Name.ToString());
			return nullptr;
		}
		T* Asset = nullptr;
		try
		{
			const tinygltf::Model Model = LoadModel(Filename);
			Asset = NewObject<T>(GetTransientPackage());
			Fill(Model, Asset);
		}
		catch (const FGltfFailure& Failure)
		{
			if (Asset)
			{
				Asset->MarkAsGarbage();
			}
			OutError = Failure.Reason;
			return nullptr;
		}
		verify(Asset->Rename(*Name.ToString(), Destination));
		return Asset;
	}
}

USkeletalMesh* FGltfImporter::ImportSkeletalMesh(const FString& Filename, UObject* Outer, FName Name, FString& OutError)
{
	USkeletalMesh* Mesh = Import<USkeletalMesh>(Filename, Outer, Name, OutError, &FillMesh);
	if (Mesh)
	{
		Mesh->InitResources();
	}
	return Mesh;
}

UAnimSequence* FGltfImporter::ImportAnimation(const FString& Filename, UObject* Outer, FName Name, FString& OutError)
{
	return Import<UAnimSequence>(Filename, Outer, Name, OutError, &FillAnimation);
}

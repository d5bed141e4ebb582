// A golden grid shared by every build: settings numbers read from text,
// the stored near and far limits and hyperfocal distances, and the texts
// of their cells, over some 350,000 cells, folded into a digest for each
// circle of confusion and focal length, kept here. A build whose arithmetic
// drifts by one bit anywhere fails at once, and names the first block.
#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "numtext/bit_cast.h"
#include "numtext/format_cell.h"
#include "numtext/format_compact.h"
#include "optics/dof_limits.h"
#include "settings/number_text.h"
#include "test_support.h"

namespace velmo {
namespace {

/// Each text read as a settings file's list item and stored.
std::vector<double> Read(std::initializer_list<const char*> texts) {
  std::vector<double> values;
  for (const char* text : texts) values.push_back(StoreDouble(ParseNumber(text)));
  return values;
}

// Taken on the x87 build, and confirmed by the software build.
constexpr std::uint64_t kBlockDigests[] = {
    0x9BBF8C9047B899CEull, 0x7C26020B594F5308ull, 0x4B4EDB12E6BD114Full, 0x736009D3DE5449C2ull,
    0xE31D29904D3D8338ull, 0x3C8B7F1B707D1B88ull, 0x3C89E5FB5B92AAC4ull, 0x9FE67C0B27544033ull,
    0x53F54977C275116Cull, 0x75E1342089A3D4A7ull, 0x6C81153EAC5568D0ull, 0x7E46A9147F78205Bull,
    0x46FF3FFF93AED575ull, 0xD663B03B1D0C7C43ull, 0xB7888B301D1922FCull, 0x5CC3C1F459B45037ull,
    0x51D001969D3133DFull, 0xC96E29CA14BC4A17ull, 0x71F7CA9288A876F0ull, 0xCAE3DF10AECE92A6ull,
    0xC69FF3AEE2B562AFull, 0x6922276CB87953AAull, 0xF0145B31DED3C718ull, 0xA1FDF46BF2C7F0F6ull,
    0x81B932742507CA0Aull, 0xDA988666C3156EF8ull, 0xEC018A3B72DEDE65ull, 0x4D0E60B1D35450D5ull,
    0xDED0C2EB038F1991ull, 0x40B023B3A6F5BE8Aull, 0x19DCCF1E823E3DEAull, 0x2C80C0AD4597B79Aull,
    0x814CCF079C207901ull, 0xE2E49C1FB6CAF7A9ull, 0x982FC05C2AC44060ull, 0xA40CB443B86C2F20ull,
    0x71411EBCC5DD3E53ull, 0xC477233B6CACD0F2ull, 0xA899C39A08627152ull, 0xDE2463BBD80C2BD1ull,
    0xA7886FC6AB8EF84Cull, 0x4EFA6C0517C27D44ull, 0x4B800471EF3BA6C7ull, 0x802A25564AF625A7ull,
    0x28265F3F4F4D7627ull, 0x6E1CFCB197E36C0Bull, 0x4AE7673A3C377843ull, 0xE098F2D36CB4FECAull,
    0x35C8775B42F17C03ull, 0x655F95C9C0459799ull, 0x805D95DA02862141ull, 0xB820535D2650897Cull,
    0x45104DC4681E95BAull, 0x31D109887B6DEB69ull, 0x97169EEF0AE01477ull, 0x7946D0A56A35D3E5ull,
    0x89068DE6830EE067ull, 0xE13A9FA62C9933A1ull, 0x0FD7BC25F2674E25ull, 0xF1511C3F2D0BB5D8ull,
    0x03CE388DA9204080ull, 0xC1477425154861ADull, 0x079C817D08058C68ull, 0xEA17E732CC8CEC29ull,
    0xC07758799E8B2455ull, 0x5AD5FF3804B3D27Dull, 0xF60B6AB5F5219587ull, 0xEA9911F98BD24F79ull,
    0x32D3C1AC08ABE3E7ull, 0x5929B0127F454365ull, 0x24B7D0B6F924AFBEull, 0x4181645B7E390C24ull,
    0x5F922D6552B8060Aull, 0x8E1F02EB58B98CFCull, 0x4429A1804DCDAE6Eull, 0xAF726E78BA7A4ED4ull,
    0xC2E3FC727AD1AE74ull, 0xF64E436815178F14ull, 0x2E3F22FBBC84D1D8ull, 0xD42CEE70A144B8A0ull,
    0x5908923A86C8B528ull, 0xD56B425769AB00CAull, 0xA356723EB94153FEull, 0x45119A5247C5BF6Full,
    0x52F073603153FAEFull, 0x6E40C01931BC466Bull, 0x168570BC73C7F3A0ull, 0x35A198E2E7A6A920ull,
    0xAD688CDF492F76AFull, 0x38C433A614F3BC2Cull, 0x34021F1CDC0EC7CDull, 0xB9116E629BD494DDull,
    0x0B9E5496333AFE0Aull, 0xF8767FBA168A5C8Cull, 0x6B09D16C53518198ull, 0x421634AFD7B50B44ull,
    0x5FFF91D230BA8237ull, 0x178FC22BE12DEC9Aull, 0x4F30FC52F6812B6Dull, 0xACAA255A4EAB64E1ull,
    0xAF768758A5272B76ull, 0x68AFB3C58CC61A9Bull, 0x13257C13AA0C15AEull, 0x5D9CA350C3459336ull,
    0x41C39AC4C9CC5C60ull, 0x6D930C9FEE39EB09ull, 0xB38557E3D7C6E155ull, 0x376D5AE565D23919ull,
    0x08B2200DAE9C8544ull, 0x966A97456B25773Full, 0x8E2D342C8F3B5CB7ull, 0x02C276DA9163183Cull,
    0x695805E1F601EEF5ull, 0xC4EC025EA557F1BEull, 0x1AC9758A8747E90Dull, 0x9D504F7E23A2B9A8ull,
    0x5A41757F6CD896E1ull, 0x770109743667ABA7ull, 0xBC5F2A908EC1B3B1ull, 0x261C06F9641AA015ull,
    0x4E91E871F0D5B3EEull, 0x314DF27FF23FBF16ull, 0xC71DD8B4CC117EF4ull, 0x274F0FE4D2615D8Eull,
    0xCC75A253425265BEull, 0xAD9BAD4F0C193314ull, 0xFFA44D1173E06621ull, 0x0C849418D1DF9D56ull,
    0xD4C2E8DBA7D1125Eull, 0xA2CF9C50DCCFBC37ull, 0xFD9E4C171DBF71D6ull, 0xE649C3155DE510C8ull,
    0x45D83E3266B814B7ull, 0x6B60AF94B3CD5C3Dull, 0xDDD7B5DD9E78274Aull, 0x9E99C94729E0C56Eull,
    0x6BC0BFE36B834E29ull, 0x6822DCCAA04A7C67ull, 0x7E8121D5B1DD83ABull, 0x39D6026833D81F7Bull,
    0x72BC41A1E9947EC8ull, 0xD6FF101A6B631378ull, 0x384AB8E90F8EA196ull, 0xD8A9EE5A5DB06BD1ull,
    0xD2932B20563261B8ull, 0x6C64CCC1C020A3FBull, 0x762D60FBB4279D8Dull, 0xD6569F27C1225FC2ull,
    0x417FDE2672DE8AE9ull, 0x3361A8F7206858F1ull, 0x57637599ED27A877ull, 0x9BF57578A2AD022Eull,
    0xBB7AC75968318CDFull, 0x78BC3E037131F8B8ull, 0xD3318078E2F1C55Full, 0x01DFCFAD085D9BF2ull,
    0x4BB3B8A5530EA367ull, 0xDC58738EB7603E02ull, 0xC3128D1AA45133A2ull, 0x5EC208E8EBC5A4B7ull,
    0x95A75081AFCBC98Dull, 0x4EF5E0FD81233F6Aull, 0x43CE3CF8EEA9115Dull, 0x1C80718A53AAE502ull,
    0xC78F1579E76CD9D3ull, 0xD83FF7CACD9242E5ull, 0x45E84AB0E9BBF118ull, 0x611809D8B12436DFull,
    0x6E123A62F1B6DEE3ull, 0x07896F253CD0CEB0ull, 0xF70422043808415Cull, 0xF316800DD9FAB8D4ull,
    0xC9D1D551F8AEC4C1ull, 0x9DD01294EE6812C8ull, 0xD98BCBD05FC5EA3Dull, 0xBD4D1989CEB58988ull,
    0xFE396ACF90CEC4B4ull, 0xB5719A293FD831E2ull, 0x0E3B66DA7B1D88E9ull, 0xB7B9D29E9636176Full,
    0xA05BEA7B0EA17BDDull, 0xE6EF65539E84610Eull, 0x66AB4078E36F86B4ull, 0x04B69AB7B007D50Cull,
    0x94195E585B016C63ull, 0x2D79C87EC534A9BFull, 0x41465473F389F341ull, 0xB10E5DEDC589A9F4ull,
    0x130C067AA9D9AECEull, 0x7DB141FE141B8321ull, 0xD3BE0980B26C876Bull, 0x952F58D42C215712ull,
    0xDE22B3450FB82337ull, 0xD737323374E17CAFull, 0x7E30CB246872B8D3ull, 0xFFF47C84E0D3ADAEull,
    0xAB10E9A93DF05E8Full, 0xCAC7376BAD66B80Aull, 0x8DD07D74B717B2F2ull, 0x47D9E7A52F916097ull,
    0xA2A1314E0C3C7BB6ull, 0x68B62FF9E2FFE5C9ull, 0x45E2112D869396B0ull, 0x401B4128D6CAFA06ull,
    0xF13EDD5F2550EBE4ull, 0x55827C1CA2629D6Aull, 0xB32AAB31CE4CC9BDull, 0x4BD321C893D25552ull,
    0xA51DB4B0E7CE705Eull, 0x4257788BC6EA9E36ull, 0x394E397B47FB1039ull, 0xAB6B479E60BB60B6ull,
    0xBD836410D9CA0ED3ull, 0xC95ECBE9B19B1283ull, 0xDF893A3B1F6936C1ull, 0xA6F4FBECBB0FBD27ull,
    0x9D9C36D11DB31D30ull, 0x5AB48B10B51B9B7Full, 0x8D3B8663BD5A1A3Eull, 0xA5A412A2C44D4FB9ull,
    0xF7889269AF5B897Cull, 0x41F2921CE665ECC5ull, 0x40F69313C8CD1D98ull, 0xBAEE3FF570A463C4ull,
    0x13E4F4E6515ECB01ull, 0x84C59F4B15C323AEull, 0x425C11677F29A015ull, 0x5F1C46C4F5DC5CBAull,
    0x4335BAD0AFDFF5F6ull, 0xBA8EC34A9EB9247Bull, 0x35A5AC36F64F6E79ull, 0x2D6BB61002D7A6E7ull,
    0x517118B8FC51163Aull, 0xAFCC4B52A8806DA1ull, 0x2ADFFC17C7F9C46Cull, 0xC825BC5F8AB544C0ull,
    0xDBCF1E0B91530757ull, 0x2B9D2C138370A1E1ull, 0x1F4B6F381D141CC4ull, 0xBCA80A0283704DB1ull,
};

TEST(GoldenGrid, EveryBuildComputesTheSameBits) {
  const std::vector<double> cocs = Read({"0.005", "0.015", "0.02", "0.025", "0.03", "0.0333"});
  const std::vector<double> apertures =
      Read({"0.95", "1", "1.2", "1.4", "1.8", "2",  "2.8", "3.5", "4",    "4.5", "5.6", "6.3",
            "7.1",  "8", "9.5", "11",  "13",  "16", "19",  "22",  "22.6", "32",  "45",  "64"});
  const std::vector<double> focals =
      Read({"4.5", "6",   "8",   "10.5", "12",  "14",  "16",    "17.5", "20",   "24",
            "28",  "31",  "35",  "40",   "43",  "50",  "50.05", "55",   "58",   "70",
            "77",  "85",  "90",  "100",  "105", "120", "135",   "150",  "180",  "200",
            "210", "250", "300", "400",  "500", "600", "800",   "1000", "1200", "2.5E3"});
  const std::vector<double> distances =
      Read({"0.01", "0.02", "0.025", "0.03", "0.04", "0.05", "0.06",  "0.08", "0.1",  "0.12", "0.15", "0.2",
            "0.25", "0.3",  "0.35",  "0.4",  "0.45", "0.5",  "0.6",   "0.7",  "0.75", "0.8",  "0.9",  "1",
            "1.2",  "1.5",  "1.75",  "2",    "2.5",  "3",    "3.5",   "4",    "5",    "6",    "7",    "8",
            "9.95", "10",   "12",    "15",   "20",   "25",   "25.05", "30",   "40",   "50",   "60",   "75",
            "100",  "150",  "200",   "300",  "500",  "750",  "1000",  "2000", "5000", "1E4",  "2E4",  "?"});
  // One digest per circle of confusion and focal length: a drift names the
  // block of 24 apertures x 60 distances where it starts.
  std::vector<std::uint64_t> blocks;
  std::size_t cells = 0, loneDiffers = 0;
  for (double coc : cocs) {
    for (double focal : focals) {
      // Computed as a table computes its block; a lone cell must agree.
      std::vector<Lens> lenses;
      for (double aperture : apertures) lenses.push_back({.CoC = coc, .Aperture = aperture, .Focal = focal});
      std::vector<DofLimits> block(lenses.size() * distances.size());
      BlockLimits(lenses, distances, DistanceUnit::Metre, block.data());
      test::Digest digest;
      digest.Add(FormatCompact(coc, 5).View());
      for (std::size_t a = 0; a < lenses.size(); ++a) {
        const double hyperfocal = HyperfocalDistance(lenses[a]);
        digest.Add(hyperfocal);
        digest.Add(FormatCell(kNoSign, Markup::Html, hyperfocal).View());
        for (std::size_t d = 0; d < distances.size(); ++d) {
          const auto [near, far] = block[d * lenses.size() + a];
          digest.Add(near);
          digest.Add(far);
          digest.Add(FormatCell(kNoSign, Markup::Text, near).View());
          digest.Add(FormatCell('+', Markup::Html, far).View());
          const DofLimits lone = ComputeDofLimits(lenses[a], distances[d]);
          if (BitCast<std::uint64_t>(lone.Near) != BitCast<std::uint64_t>(near) ||
              BitCast<std::uint64_t>(lone.Far) != BitCast<std::uint64_t>(far)) {
            ++loneDiffers;
          }
          ++cells;
        }
      }
      blocks.push_back(digest.Value());
    }
  }
  EXPECT_EQ(cells, 345600u);
  EXPECT_EQ(loneDiffers, 0u) << "cells whose lone limits differ from their block's";
  ASSERT_EQ(blocks.size(), std::size(kBlockDigests)) << "this build's digests:\n"
                                                     << test::ListedDigests(blocks);
  const std::size_t i = test::FirstDifference(blocks, kBlockDigests);
  EXPECT_EQ(i, blocks.size()) << "the first block that differs: CoC " << cocs[i / focals.size()]
                              << " mm, focal length " << focals[i % focals.size()] << " mm (block " << i
                              << ")\nthis build's digests:\n"
                              << test::ListedDigests(blocks);
}

}  // namespace
}  // namespace velmo

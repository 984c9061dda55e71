// The film lists of both sources over any fetched text: links and cards within
// their capacities and well-formed.
#include "topics/movies.h"
#include "fuzz/fuzz_support.h"

using namespace tp;
using tp::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    MoviesSettings movies;
    movies.langMovies = input.ConsumeIntegralInRange(0, 1);
    movies.maxMovies = input.ConsumeIntegralInRange(1, 10);
    fuzz::LoadTransferBuffer(input.ConsumeRemainingBytesAsString());

    MoviesList list;
    if (!ExtractMovies(g_transferBuffer, movies, list)) return 0;
    Require(list.films.size() <= static_cast<std::size_t>(movies.maxMovies), "no more films than asked");
    Require(list.indexLinks.size() < kMoviesLinksCapacity, "links within capacity");
    Require(list.cards.size() < kMoviesCardsCapacity, "cards within capacity");
    fuzz::RequireWellFormedCards(list.indexLinks, list.cards);
    return 0;
}

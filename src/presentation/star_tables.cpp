#include "presentation/star_tables.h"

namespace velmora {
namespace {

template <std::size_t L>
consteval std::array<char, kStarNameField> Name(const char (&text)[L]) {
  return MakeTextField<kStarNameField>(text);
}

template <std::size_t L>
consteval std::array<char, kStarTextField> Text(const char (&text)[L]) {
  return MakeTextField<kStarTextField>(text);
}

}  // namespace

// Row = DisplayIndex(code). Row 12 sits between the palace names and the stars and stays empty.
constexpr std::array<std::array<char, kStarNameField>, kStarTableRows> StarNameTable = {
    // Palace names, codes 23..34.
    Name("Life"),
    Name("Siblings"),
    Name("Marriage"),
    Name("Children"),
    Name("Wealth"),
    Name("Health"),
    Name("Travel"),
    Name("Friends"),
    Name("Career"),
    Name("Property"),
    Name("Happiness"),
    Name("Parents"),
    // Row 12: no code reaches it.
    Name(""),
    // Main stars, codes 36..49.
    Name("King"),
    Name("Wit"),
    Name("Sun"),
    Name("Warrior"),
    Name("Lucky"),
    Name("Chastity"),
    Name("Treasury"),
    Name("Moon"),
    Name("Greedy Wolf"),
    Name("Big Mouth"),
    Name("Minister"),
    Name("Beam"),
    Name("7 Kills"),
    Name("Army"),
    // Auxiliary stars, codes 50..63.
    Name("Intellect"),
    Name("Intelligence"),
    Name("Left Aid"),
    Name("Right Aid"),
    Name("Fiery Star"),
    Name("Siren Star"),
    Name("Calamity"),
    Name("Misfortune"),
    Name("Abundance"),
    Name("Pegasus"),
    Name("Troublesome"),
    Name("Worrisome"),
    Name("Angel 1"),
    Name("Angel 2"),
    // Minor stars, codes 70, 71, 86, 87.
    Name("Punishment"),
    Name("Dissolute"),
    Name("Belle"),
    Name("Festival"),
};

static_assert(FieldText(StarNameTable[DisplayIndex(code::GreedyWolf)]) == "Greedy Wolf");
static_assert(FieldText(StarNameTable[DisplayIndex(code::Festival)]) == "Festival");

// Descriptions shared by the two stars of a pair; each row stores its own copy.
constexpr char kIntellectText[] =
    "This star brings intelligence, a quick mind and a feeling for art and beauty.";
constexpr char kAidText[] = "A star that brings us help and support.";
constexpr char kFireText[] = "A grumpy star that brings disaster and hardship.";
constexpr char kEarthText[] =
    "A negative star of disaster, but favourable to the study of metaphysics.";
constexpr char kGuardText[] =
    "A star of dishonesty. Its people may be tempted to use cunning or force to get their way, "
    "often at others' expense.";
constexpr char kAngelText[] = "A guardian spirit that watches over us.";
constexpr char kJoyText[] = "Physical beauty and strong appeal.";

// Descriptions, one paragraph each: what a palace stands for, or what a star brings.
constexpr std::array<std::array<char, kStarTextField>, kStarTableRows> StarTextTable = {
    // Life
    Text("This is the most important palace of the chart. It represents our personality, our "
         "character and the destiny of our life."),
    // Siblings
    Text("This represents our relationship with our brothers and sisters, how well we get along, "
         "and what their characters are like."),
    // Marriage
    Text("This represents the character of our spouse and the course of our marriage: whether it "
         "will be happy and lasting, and whether it may suffer from divorce or from affairs "
         "outside it."),
    // Children
    Text("This represents our children: whether we will have any, how they will behave and how "
         "well they will fare in life, and what kind of relationship we will have with them. It "
         "also shows our relationship with the children of our brothers and sisters, our nieces "
         "and nephews."),
    // Wealth
    Text("This represents our income and our luck with money: how much we earn, whether the "
         "income is steady or comes and goes, where it is likely to come from, and the losses we "
         "should be ready for."),
    // Health
    Text("This represents our health, the strength of our body and the illnesses we are likely "
         "to face."),
    // Travel
    Text("This represents whether we should move away from our birthplace to succeed, and the "
         "journeys we make during our life."),
    // Friends
    Text("This represents our peers and colleagues, how much help we can expect from them at "
         "work and in daily life, and the quality of our relationships with friends and "
         "acquaintances."),
    // Career
    Text("This represents the kind of work that suits us best, the field in which our talents "
         "will be put to good use, and the success we can expect in our career."),
    // Property
    Text("This represents our property, the inheritance we receive and our investments."),
    // Happiness
    Text("This represents our moral, spiritual and emotional life, the things that give us joy, "
         "and whether we will find peace of mind."),
    // Parents
    Text("This represents our parents and our family backgrounds."),
    // Row 12: no code reaches it
    Text(""),
    // King
    Text("The King is an imperious and commanding star. Its people like to lead, expect others "
         "to listen and want to be respected, and they rarely take orders well. In the Life "
         "palace it gives dignity and ambition. In the Marriage palace it points to a dominant "
         "spouse, or a partner who must be respected."),
    // Wit
    Text("Wit is a clever, active and restless star. Its people learn quickly, think on their "
         "feet and are skilled at planning and negotiation. They find it hard to sit still and "
         "change direction often, and the same restlessness can bring instability to their "
         "marriage."),
    // Sun
    Text("The Sun is a large, bright and masculine star. Its people are generous and outgoing, "
         "but they like to show off and can be blunt to a fault."),
    // Warrior
    Text("The Warrior is the hard-working general of the stars. It is good for wealth and for "
         "career, and its people reach their goals by effort and discipline. They tend, however, "
         "to be loners and workaholics who find it hard to relax."),
    // Lucky
    Text("The Lucky star loves the good things in life: art, music, fine food and pleasant "
         "company. Its people take life easily and are rarely troubled for long, but the same "
         "ease can turn into laziness, and a fondness for eating may show in their weight. They "
         "are kind-hearted and generous dreamers who would rather imagine a plan than carry it "
         "out."),
    // Chastity
    Text("Chastity is both the star of the politician and a star of romance. Its people are "
         "charming and sociable, and they are popular with those around them, which serves them "
         "well in public life. They are ambitious and know how to win support, but they can also "
         "be proud and hard to read. When badly placed, the star warns of too much drinking and "
         "gambling, and of infidelity, since its people attract admirers easily and find "
         "temptation hard to refuse."),
    // Treasury
    Text("The Treasury is the star of money, property and power. It gives a good head for "
         "finance and a talent for keeping and managing what has been earned. Whether its people "
         "become trustworthy managers or dishonest ones depends on the stars around it: with "
         "good companions it brings prudence and loyalty, with bad ones greed and cunning."),
    // Moon
    Text("The Moon is the star of femininity. Its people are attractive, gentle and refined, "
         "with a quiet charm that draws others to them. They often have a gift for music and a "
         "leaning towards the spiritual. Being sensitive and soft-hearted, they are easily "
         "influenced by others and may lack the firmness to stand their ground."),
    // Greedy Wolf
    Text("The Greedy Wolf is a star of many talents and many appetites. Its people are versatile "
         "and quick to pick up new skills, and they are drawn to pleasure, money, romance and "
         "adventure alike. They are impatient, want results at once and may lose interest as "
         "soon as the novelty fades. At its best the star is a strong motivator that drives its "
         "people to achieve a great deal; at its worst its energy is unruly and hard to control, "
         "and leads them into excess."),
    // Big Mouth
    Text("The Big Mouth is the star of speech and communication. Its people talk a great deal, "
         "argue well and like to have the last word, but their words are also their greatest "
         "source of trouble: gossip, careless remarks and quarrels can bring disputes, "
         "misunderstandings and even lawsuits. When it is well placed, the same gift becomes an "
         "asset, and its people do well in professions that live by speech, such as teaching, "
         "law, sales and public speaking, where a ready tongue is prized."),
    // Minister
    Text("The Minister is the quiet worker behind the scenes. Its people are careful, reliable "
         "and modest, and prefer to support a leader rather than stand in the spotlight. They "
         "are good at keeping order and following procedure, which suits them to administration "
         "and the civil service."),
    // Beam
    Text("The Beam is the star that turns bad into good. It marks people who help others and "
         "protect the weak, and it is often found in the charts of religious leaders and public "
         "servants. Its people tend to meet hardship early in life, but they come through it, "
         "and good fortune follows once the difficulties have passed."),
    // 7 Kills
    Text("The 7 Kills is an aggressive and fearless star. Its people are bold, independent and "
         "willing to take great risks, and they fight hard for what they want. They are also "
         "stubborn and impulsive, and find it hard to accept advice. Unless they are guided well "
         "when young, the star can lead to isolation and unhappiness; guided well, it makes a "
         "determined pioneer."),
    // Army
    Text("The Army is a star of destruction and renewal: it tears down the old in order to build "
         "something new in its place. Its people are restless, rebellious and eager for change. "
         "They are direct and demanding, and others often find them hard to get along with, at "
         "home and at work."),
    Text(kIntellectText),  // Intellect
    Text(kIntellectText),  // Intelligence
    Text(kAidText),        // Left Aid
    Text(kAidText),        // Right Aid
    Text(kFireText),       // Fiery Star
    Text(kFireText),       // Siren Star
    Text(kEarthText),      // Calamity
    Text(kEarthText),      // Misfortune
    // Abundance
    Text("Wealth,money."),
    // Pegasus
    Text("To move or act swiftly."),
    Text(kGuardText),  // Troublesome
    Text(kGuardText),  // Worrisome
    Text(kAngelText),  // Angel 1
    Text(kAngelText),  // Angel 2
    // Punishment
    Text("This star carries the stern authority of a judge."),
    // Dissolute
    Text("One of the romance stars. Its people are charming and pleasure-loving, and easily "
         "drawn into love affairs."),
    Text(kJoyText),  // Belle
    Text(kJoyText),  // Festival
};

// The seven pairs of stars that share a description: Intellect and Intelligence, the two Aids,
// Fiery and Siren Star, Calamity and Misfortune, Troublesome and Worrisome, the two Angels,
// Belle and Festival.
namespace {
constexpr bool PairsShareTexts() {
  for (const std::size_t first : {27, 29, 31, 33, 37, 39, 43}) {
    if (StarTextTable[first] != StarTextTable[first + 1]) return false;
  }
  return true;
}
}  // namespace
static_assert(PairsShareTexts());
static_assert(FieldText(StarTextTable[DisplayIndex(code::Abundance)]) == "Wealth,money.");

namespace {

// The row of a code, or -1 for a code that has none; row 12 is never returned.
std::int32_t CheckedRow(ItemCode c) {
  const std::int32_t row = DisplayIndex(c);
  return row >= 0 && row < kStarTableRows ? row : -1;
}

}  // namespace

std::string_view StarName(ItemCode c) {
  const std::int32_t row = CheckedRow(c);
  return row < 0 ? std::string_view{} : FieldText(StarNameTable[static_cast<std::size_t>(row)]);
}

std::string_view StarText(ItemCode c) {
  const std::int32_t row = CheckedRow(c);
  return row < 0 ? std::string_view{} : FieldText(StarTextTable[static_cast<std::size_t>(row)]);
}

}  // namespace velmora

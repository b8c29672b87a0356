#include "core/companion/Phrases.h"

#include "core/companion/Random.h"

#include <QStringView>
#include <span>

namespace {

// A row is a fixed phrase, or the user's name between two fixed pieces (either may be empty).
struct Row
{
    QStringView lead;
    QStringView tail;
    bool named;
};

constexpr Row text(QStringView phrase)
{
    return {phrase, {}, false};
}

constexpr Row name(QStringView lead, QStringView tail)
{
    return {lead, tail, true};
}

// The middle dots in runs such as "･･･" are the half-width ones, and row 25 holds one ASCII space.
constexpr Row whenRows[] = {
    text(u"おひるごろ"),
    text(u"あさはやくに"),
    text(u"おひるねちゅうに"),
    text(u"おひるに"),
    text(u"まだくらいのに"),
    text(u"おやつのじかんに"),
    text(u"よるおそくに"),
    text(u"あさごはんちゅうに"),
    text(u"まよなかに"),
    text(u"あそんでたら"),
    text(u"かくれんぼちゅうに"),
    text(u"おさんぽちゅうに"),
    text(u"いたずらちゅうに"),
    text(u"おひるごはんのさいちゅうに"),
    text(u"ゆうはんのさいちゅうに"),
    text(u"ゆめのなかで"),
    text(u"･･･････"),
    text(u"３じごろ"),
    text(u"５じごろ"),
    text(u"デスクトップであそんでたら"),
    text(u"デスクトップでかくれんぼちゅうに"),
    text(u"よもあけきらぬうちから"),
    text(u"どらやきをたべてるときに"),
    text(u"ごみをすてるときに"),
    text(u"ナギくんとあそんでるときに"),
    text(u"よる ねてるときに"),
    text(u"ゴールデンたいむに"),
    text(u"きょねんのくりすますに"),
    name(u"", u"のいないあいだに"),
    name(u"", u"がでかけてるときに"),
    name(u"", u"がめをはなしたすきに"),
    text(u"きょうはとくにニュースはないけど"),
    text(u"この日記をかいてるときに"),
};

// Rows 0 and 15, and rows 8 and 9, say the same on purpose: those texts come out twice as often.
constexpr Row whoRows[] = {
    text(u"モルナは"),
    name(u"このましんをつかった", u"でないひとが"),
    text(u"ナギくんが"),
    text(u"ばったりあったおばあちゃんが"),
    text(u"ちょうどとおりかかったおじいちゃんが"),
    text(u"ちよっとつかれてるのに"),
    name(u"", u"のみらいのおまごさんが"),
    text(u"････が"),
    name(u"", u"のコピーロボットが"),
    name(u"", u"のコピーロボットが"),
    text(u"ちょっとやつれたパンやさんが"),
    name(u"", u"のペットが"),
    name(u"", u"のママが"),
    text(u"たいせつなCD-ROMドライブが"),
    text(u"ぐうぜんにも、にせモルナが"),
    text(u"モルナは"),
    text(u"ねむいのに"),
    text(u"おなかがすいてるのに"),
    text(u"きんじょののらねこが"),
    text(u"しらないひとが"),
    name(u"", u"のこもんべんごしが"),
    text(u"のらいぬが"),
    text(u"ぱそこんのなかのこびとさんが"),
    text(u"ぱそこんのなかのわるものが"),
    text(u"みたことのないむしが"),
    text(u"うきうきなのに"),
    text(u"はなのながいどうぶつが"),
    text(u"どろぼうさんが"),
    text(u"おさるのもろっちが"),
    text(u"くまのぽこが"),
    text(u"ぷるもっさが"),
    name(u"もうひとりの", u"が"),
    name(u"", u"のだいすきなひとが"),
    name(u"", u"のよくしっているひとが"),
    text(u"おともだちのアヒルこが"),
    name(u"", u"のおともだちが"),
};

constexpr Row whatRows[] = {
    text(u"木のぼりしてました。"),
    text(u"なにかをはいたつちゅうでした。"),
    text(u"かってにいんたーねっとしてました。"),
    text(u"ごはんをたべてました。"),
    text(u"ましんのメールを見ちゃいました。"),
    text(u"ハードディスクを･･･あ。"),
    text(u"およいでました。"),
    text(u"まらそんしてました。"),
    text(u"メールをはこぶクマにあいました。"),
    text(u"メールをはこぶねこにあいました。"),
    text(u"メールをはこぶかめにあいました。"),
    text(u"メールをはこぶウサギにあいました。"),
    text(u"まんがをみてました。"),
    text(u"てれびみてた。"),
    text(u"ドーナツを少々･･･。つまんでました。"),
    text(u"おちゃを少々･･･。のんでました。"),
    text(u"さばくをあるいてました。"),
    text(u"･･･････。"),
    name(u"", u"のおやつをたべてました。"),
    name(u"", u"のましんにぱすわーどを･･･。"),
    text(u"まうすできけんなあそびをしてました。"),
    text(u"ハードディスクをつなぎかえてました。"),
    text(u"わらってました。"),
    text(u"ごはんをのこしてました。"),
    text(u"ぱそこんのメールを見ちゃいました。"),
    text(u"めもりを･･･あ。"),
    text(u"やきいもをやいてた。"),
    text(u"せっせとなにかをつくってました。"),
    text(u"かんがえごとをしてました。"),
    text(u"いんたーねっとであやしいじょうほうを･･･。"),
    text(u"メールにいたずらしてました。"),
    text(u"しらないひとにメールをかいてました。"),
    text(u"しらないひとからメールをうけとってました。"),
    text(u"しらないひとにつれていかれそうになって･･･。"),
    text(u"おままごとしてました。"),
    text(u"おとうさんやくをひきうけました。"),
    text(u"ふくびきで１とうとりました。"),
    text(u"おこずかいゲットしました。"),
    text(u"きーぼーどにじゅーすを･･･。"),
    text(u"たんていごっこをしてました。"),
    text(u"おひるねしてました。"),
    text(u"カラオケしてました。"),
    text(u"しらないひとにあやまってました。"),
    text(u"しらないDLLをいれてました。"),
    text(u"ひつようそうなファイルをけしてました。"),
    text(u"てがすべってました。"),
    text(u"スケートしてました。"),
    name(u"", u"のしゃしんをみてました。"),
    name(u"", u"のことをききにきました。"),
    text(u"３かいくしゃみしてました。"),
    text(u"まうすをつなぎかえてました。"),
    text(u"うえへしたへのおおさわぎでした。"),
    text(u"めーるをはこぶれんしゅうをしました。"),
    text(u"ぴんくのくまにたいこうしてました。"),
    text(u"ゆかいにおどってました。"),
    text(u"100えんちょきんしました。"),
    text(u"ぱいるど7(ぼるどらん)とあってました。"),
    text(u"キューバ産の葉巻をかってました。"),
    text(u"みっかいしてました。"),
    text(u"しごとをさがしてました。"),
    text(u"メールをはこぶれんしゅうをしました。"),
    text(u"このにっきをよんでいました。"),
    name(u"", u"をたずねてきました。"),
    name(u"", u"にメールをもってきたのになくしてました。"),
    name(u"", u"の貯金箱をのぞいてました。"),
    name(u"", u"の宝物入れからなにかもちさりました。"),
    name(u"", u"にはなしたいことがあったようです。"),
    name(u"", u"にそうだんをもってきました。"),
    name(u"", u"によろしくといってました。"),
    name(u"", u"に内緒でおいしいものをたべにいってました。"),
    name(u"", u"をほめてました。"),
};

constexpr Row remarkRows[] = {
    text(u"はてさて･･･。"),
    text(u"どうしたものか･･･。"),
    text(u"ん･･･？"),
    text(u"そうです。"),
    text(u"･･･だそうです。"),
    text(u"ホントだよ。"),
    text(u"むむむ。"),
    text(u"そんなはずじゃ･･･。"),
    text(u"こまったものです。"),
    text(u"それもありかな？"),
    text(u"･･･というわけです。"),
    text(u"さっぱりわかりません。"),
    text(u"おへんじください。"),
    text(u"ちょっぴりつかれました。"),
    text(u"おてんきははれだった。"),
    text(u"おてんきはくもり。"),
    text(u"おてんきはあめだった。"),
    text(u"･･･････。"),
    text(u"きっといいことあるよね。"),
    text(u"どうかな？"),
    text(u"あらら？"),
    text(u"へへへ。"),
    text(u"もっとほめれ。"),
    text(u"ささっ（かくれました）。"),
    text(u"１５ポイントのだめーじ。"),
    text(u"ぶ～。"),
    text(u"もう。"),
    text(u"ドーナツは?"),
    text(u"UFO襲来？"),
    text(u"そんならんぼうな･･･。"),
    text(u"なるほど。"),
    text(u"もうこんなじかん･･･。"),
    text(u"ねむくなってきた。"),
    text(u"わらいがとまらなかった。"),
    text(u"おかしくって。"),
    text(u"ぷぷ～。"),
    text(u"しってた？"),
    text(u"しらなかった。"),
    text(u"災難。"),
    text(u"よていどおりでした。"),
    text(u"フフフ。"),
    text(u"しらなくてもよいことも。"),
    text(u"これいじょうは･･･。"),
    text(u"あ、ヒミツだったのに･･･。"),
    text(u"ってだれにもいわないやくそくなの。"),
    text(u"ってこともあるのね。"),
    text(u"さんざんだった。"),
    text(u"ほねおりぞん？"),
    text(u"もっとくわしく？"),
    text(u"わくわくした。"),
    text(u"ははぁ。"),
    text(u"ぷぷぷ。"),
    text(u"おぬしもわるよの～。"),
    text(u"モグモグ・・・。"),
};

std::span<const Row> rowsOf(Phrases::Table table)
{
    switch (table) {
    case Phrases::Table::When:
        return whenRows;
    case Phrases::Table::Who:
        return whoRows;
    case Phrases::Table::What:
        return whatRows;
    case Phrases::Table::Remark:
        return remarkRows;
    }
    return {};
}

} // namespace

int Phrases::rowCount(Table table)
{
    return static_cast<int>(rowsOf(table).size());
}

QString Phrases::row(Table table, int index, const QString& userName)
{
    const std::span<const Row> rows = rowsOf(table);
    if (index < 0 || index >= static_cast<int>(rows.size())) {
        return {};
    }
    const Row& chosen = rows[static_cast<std::size_t>(index)];
    QString phrase = chosen.lead.toString();
    if (chosen.named) {
        phrase += userName;
        phrase += chosen.tail;
    }
    return phrase;
}

QString Phrases::pick(Table table, const QString& userName)
{
    const quint32 index = Random::draw(static_cast<quint32>(rowCount(table)));
    return row(table, static_cast<int>(index), userName);
}

QString PhraseWhen(const QString& UserName)
{
    return Phrases::pick(Phrases::Table::When, UserName);
}

QString PhraseWho(const QString& UserName)
{
    return Phrases::pick(Phrases::Table::Who, UserName);
}

QString PhraseWhat(const QString& UserName)
{
    return Phrases::pick(Phrases::Table::What, UserName);
}

QString PhraseRemark()
{
    return Phrases::pick(Phrases::Table::Remark, QString());
}

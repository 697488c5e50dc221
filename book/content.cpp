#include "book/content.h"

#include "shell/book.h"

namespace book {

namespace {

Page TextPage(int chapter, std::string heading, std::vector<std::string> paragraphs) {
  Page p;
  p.kind = Page::Text;
  p.chapter = chapter;
  p.heading = std::move(heading);
  p.paragraphs = std::move(paragraphs);
  return p;
}

Book Make() {
  Book b;
  b.title = shell::kBookTitle;
  b.subtitle = "一本介紹翻頁閱讀器的小書";
  b.code = shell::kBookCode;
  b.purchase = "http://127.0.0.1:8088/buy/K19990317045";
  b.discuss = "http://127.0.0.1:8088/discuss/K19990317045";

  Page cover;
  cover.kind = Page::Cover;
  cover.heading = b.title;
  cover.paragraphs = {b.subtitle, "按一下封面，打開這本書"};
  b.pages.push_back(cover);

  Page contents;
  contents.kind = Page::Contents;
  contents.heading = "目錄";
  b.pages.push_back(contents);

  b.pages.push_back(TextPage(0, "前言",
                             {"這是一本關於閱讀器本身的書。你現在看到的每一頁，都是用這個閱讀器翻開的。",
                              "書裡介紹翻頁、目錄、放大縮小、單頁與雙頁、書籤、註解、導讀語音和各種設定。",
                              "每一章的第一頁下方有一個喇叭圖示，按下去就能聽到那一章的導讀。",
                              "讀完這本書，你就會用這個閱讀器讀任何一本書。"}));

  // Chapter 1
  b.pages.push_back(
      TextPage(1, "第一章　認識這本電子書",
               {"整本書都放在一個執行檔裡。打開程式，書就出現在視窗中，不需要另外安裝任何檔案。",
                "視窗上方有一排工具列，放著十六個按鈕；把滑鼠停在按鈕上，會出現它的名稱和快速鍵。",
                "書的右下角有四個小按鈕：說明、縮到最小、放大視窗和關閉。"}));
  b.pages.push_back(TextPage(
      1, "雙頁與頁碼",
      {"平常書是左右兩頁攤開的樣子，就像桌上的一本紙本書。",
       "頁碼印在每一頁的下方。左邊是偶數頁，右邊是奇數頁。", "封面單獨出現在右邊；最後一頁是封底。"}));
  b.pages.push_back(TextPage(1, "滑鼠右鍵",
                             {"在書上按滑鼠右鍵，會出現一個小選單。",
                              "「關於翻頁電子書」顯示製作者的資料；「關閉」會先問你是否確定要離開。",
                              "離開時，閱讀器會記住聲音是開著還是關著，下次打開時照樣設定。"}));
  b.pages.push_back(TextPage(
      1, "第一次打開",
      {"第一次打開時，會出現「基礎操作說明」的小視窗，簡單說明怎麼使用。",
       "勾選「以後不要再顯示這個說明」，下次就不會自動出現。", "之後想再看，按書右下角的說明按鈕就可以。"}));

  // Chapter 2
  b.pages.push_back(
      TextPage(2, "第二章　翻頁與目錄",
               {"按鍵盤的向右鍵或 PageDown 翻到下一頁，向左鍵或 PageUp 回到上一頁。",
                "Home 回到封面，End 直接翻到最後。", "也可以用滑鼠按頁面的右半邊往後翻，按左半邊往前翻。"}));
  b.pages.push_back(TextPage(2, "翻頁的樣子",
                             {"翻頁時，紙張會從書的一邊翻到另一邊，就像真的翻書一樣。",
                              "翻得很快也沒關係，每一次翻頁都會完整地畫出來。"}));
  b.pages.push_back(
      TextPage(2, "目錄",
               {"工具列最左邊的「目錄」按鈕會帶你回到目錄頁。",
                "在目錄頁上，按一下任何一個標題，就會直接翻到那一章。", "目錄頁上的頁碼和書裡的頁碼一致。"}));
  b.pages.push_back(TextPage(2, "標示線",
                             {"「標示線」按鈕會在頁面上畫出淡淡的橫線，方便對齊閱讀的位置。",
                              "再按一次就會收起標示線；工具列上的按鈕也會跟著換成另一個樣子。"}));

  // Chapter 3
  b.pages.push_back(
      TextPage(3, "第三章　放大與單頁模式",
               {"「單頁模式」按鈕會問你要看左頁還是右頁，選好以後，那一頁就會單獨放大到整個視窗。",
                "「雙頁模式」按鈕回到左右兩頁攤開的樣子。"}));
  b.pages.push_back(TextPage(3, "放大縮小",
                             {"在單頁模式下，「放大」和「縮小」按鈕可以分段調整大小，最大到兩倍。",
                              "放到最大時「放大」按鈕會變灰，縮到最小時「縮小」按鈕會變灰。",
                              "放大以後，用滑鼠拖曳頁面，就能看到其他部分。"}));
  b.pages.push_back(TextPage(3, "清楚的字",
                             {"每一頁都以兩倍的解析度製作，所以放大到兩倍時，字的邊緣依然清楚。",
                              "視窗放大到整個螢幕時，書也會跟著放大。"}));
  b.pages.push_back(
      TextPage(3, "回到雙頁",
               {"在單頁模式翻頁，一次翻一頁；回到雙頁模式，一次翻兩頁。", "切換模式不會改變你讀到的位置。"}));

  // Chapter 4
  b.pages.push_back(TextPage(4, "第四章　書籤與註解",
                             {"「書籤」按鈕可以把目前的頁面加上書籤，並且給它一個標題。",
                              "雙頁時可以選擇要標記左頁還是右頁。", "書籤最多二十個，標題最多二十個字。"}));
  b.pages.push_back(TextPage(
      4, "書籤管理",
      {"「書籤管理」列出所有書籤的頁碼，依照頁碼排列。",
       "選一個書籤按「刪除」，或按「全部刪除」清除全部書籤。", "書籤會自動保存，下次打開書時還在。"}));
  b.pages.push_back(TextPage(4, "註解",
                             {"「註解」按鈕可以在一頁上寫下一段文字，最多一百個字，可以分成好幾行。",
                              "有註解的頁面角落會出現一個黃色的小標記，按一下就能打開那則註解。"}));
  b.pages.push_back(TextPage(
      4, "修改註解",
      {"打開註解以後可以直接修改文字，按「修改」保存。", "如果改變主意，直接關閉視窗，註解就不會改變。",
       "「註解管理」可以顯示、刪除單一註解，或全部刪除。"}));
  b.pages.push_back(TextPage(4, "一頁一個",
                             {"每一頁最多一個書籤和一個註解；在同一頁再加一次，原來的會保留。",
                              "最後一頁是封底，不能加書籤或註解。"}));

  // Chapter 5
  b.pages.push_back(TextPage(5, "第五章　導讀語音與動畫",
                             {"每一章都有一段導讀語音。按下章首頁下方的喇叭，或工具列的「撥放導讀」。",
                              "第一次播放時，閱讀器會從網路下載那一章的語音檔，並顯示下載進度。"}));
  b.pages.push_back(TextPage(5, "下載",
                             {"下載時可以按「取消」停止；沒有連上網路時，閱讀器會提醒你先連線。",
                              "下載好的檔案放在程式資料夾的 Review 資料夾裡，之後播放就不必再下載。"}));
  b.pages.push_back(TextPage(5, "小播放器",
                             {"語音在一個小視窗裡播放。播放時，書上的導讀員會跟著說話。",
                              "小視窗上的按鈕可以關掉或打開導讀員的動畫。"}));
  b.pages.push_back(TextPage(
      5, "聲音",
      {"「靜音」按鈕關掉書的背景聲音，再按一次打開。", "閱讀器會記住這個選擇，下次打開時照樣設定。"}));

  // Chapter 6
  b.pages.push_back(TextPage(6, "第六章　設定與視窗",
                             {"閱讀器的設定保存在你自己的資料夾裡，每一位使用者各自一份。",
                              "兩個閱讀器同時開著也沒問題，最後保存的設定為準。"}));
  b.pages.push_back(TextPage(6, "視窗大小",
                             {"一般狀態下，視窗維持固定的大小，書的版面才不會變形。",
                              "按放大視窗的按鈕，書會填滿整個螢幕；再按還原回到原來大小。"}));
  b.pages.push_back(TextPage(
      6, "說明與討論",
      {"「說明」按鈕打開說明視窗，列出所有按鈕和快速鍵。", "「討論」按鈕告訴你這本書的討論區網址。"}));
  b.pages.push_back(TextPage(
      6, "購買", {"「購買」按鈕會開啟購買網頁，並且關閉程式視窗。", "這本示範書的購買按鈕沒有啟用。"}));
  b.pages.push_back(TextPage(6, "離開",
                             {"關閉視窗時，閱讀器會先問你是否確定要離開。",
                              "回答「是」就會保存聲音設定並結束；回答「否」就繼續閱讀。"}));
  b.pages.push_back(
      TextPage(0, "附錄　快速鍵一覽",
               {"向右鍵、PageDown：下一頁", "向左鍵、PageUp：上一頁", "Home：封面　End：最後一頁",
                "工具列每個按鈕的快速鍵，寫在按鈕的提示文字裡。"}));

  Page back;
  back.kind = Page::BackCover;
  back.heading = b.title;
  back.paragraphs = {"謝謝你讀完這本書。"};
  b.pages.push_back(back);

  const char* narrations[] = {
      "第一章，認識這本電子書。整本書都在一個程式裡，打開就能閱讀。",
      "第二章，翻頁與目錄。用方向鍵翻頁，用目錄跳到任何一章。",
      "第三章，放大與單頁模式。單頁模式可以把一頁放大到兩倍。",
      "第四章，書籤與註解。書籤最多二十個，註解最多一百個字。",
      "第五章，導讀語音與動畫。第一次播放時會下載語音檔。",
      "第六章，設定與視窗。設定會自動保存，離開前會先問你。",
  };
  for (size_t i = 0; i < b.pages.size(); ++i) {
    int c = b.pages[i].chapter;
    int page = static_cast<int>(i) + 1;
    if (c == 0) continue;
    if (b.chapters.empty() || b.chapters.back().number != c)
      b.chapters.push_back({c, b.pages[i].heading, page, page, narrations[c - 1]});
    b.chapters.back().last = page;
  }
  b.contents.push_back({"前言", 3});
  for (const auto& c : b.chapters) b.contents.push_back({c.title, c.first});
  b.contents.push_back({"附錄　快速鍵一覽", static_cast<int>(b.pages.size()) - 1});
  return b;
}

}  // namespace

const Book& DemoBook() {
  static const Book book = Make();
  return book;
}

std::string Describe(const Book& b) {
  std::string out;
  out += "title=" + b.title + "\n";
  out += "code=" + b.code + "\n";
  out += "pages=" + std::to_string(b.pages.size()) + "\n";
  out += "purchase=" + b.purchase + "\n";
  out += "discuss=" + b.discuss + "\n";
  for (const auto& c : b.contents) out += "contents=" + std::to_string(c.page) + "|" + c.title + "\n";
  for (const auto& c : b.chapters)
    out += "chapter=" + std::to_string(c.number) + "|" + std::to_string(c.first) + "|" +
           std::to_string(c.last) + "|" + c.title + "\n";
  return out;
}

}  // namespace book

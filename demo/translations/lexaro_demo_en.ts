<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja_JP">
<context>
    <name>CAboutDlg</name>
    <message>
        <source>バージョン情報 LexaroDemo</source>
        <translation>About LexaroDemo</translation>
    </message>
    <message>
        <source>数式マークアップ描画ライブラリのデモ</source>
        <translation>Demo of the library that draws mathematical markup</translation>
    </message>
</context>
<context>
    <name>CLexaroDemoView</name>
    <message>
        <source>テキストの角度には整数を入力してください。</source>
        <translation>Enter a whole number for the angle of the text.</translation>
    </message>
    <message>
        <source>サンプルを読めません: %1</source>
        <translation>Cannot read the sample: %1</translation>
    </message>
    <message>
        <source>左クリック：テキスト出力</source>
        <translation>Left click: draw the text</translation>
    </message>
    <message>
        <source>右クリック：画面クリア</source>
        <translation>Right click: clear the screen</translation>
    </message>
    <message>
        <source>テキストの角度</source>
        <translation>Angle of the text</translation>
    </message>
    <message>
        <source>クリア</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>（行頭の半角ｽﾍﾟｰｽ・タブは出力時に削除されます）</source>
        <translation>(Spaces and tabs at the start of a line are removed when drawing)</translation>
    </message>
    <message>
        <source>ｻﾝﾌﾟﾙ</source>
        <translation>Samples</translation>
    </message>
    <message>
        <source>記号</source>
        <translation>Symbols</translation>
    </message>
    <message>
        <source>前verのｻﾝﾌﾟﾙ</source>
        <translation>Previous version&apos;s samples</translation>
    </message>
    <message>
        <source>ｺﾝﾄﾛｰﾙｸﾗｽのｻﾝﾌﾟﾙ</source>
        <translation>Control classes</translation>
    </message>
    <message>
        <source>%1 %2 件: %3</source>
        <translation>%1 (%2): %3</translation>
    </message>
    <message>
        <source>TeX の診断</source>
        <translation>TeX diagnostics</translation>
    </message>
    <message>
        <source>診断</source>
        <translation>Diagnostics</translation>
    </message>
    <message>
        <source>テキストを TeX の数式として変換して出力します</source>
        <translation>Translate the text from TeX math notation before drawing</translation>
    </message>
</context>
<context>
    <name>CMainFrame</name>
    <message>
        <source>レディ</source>
        <translation>Ready</translation>
    </message>
    <message>
        <source>ファイル(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>新規作成(&amp;N)</source>
        <translation>&amp;New</translation>
    </message>
    <message>
        <source>開く(&amp;O)...</source>
        <translation>&amp;Open...</translation>
    </message>
    <message>
        <source>プリンタの設定(&amp;R)...</source>
        <translation>P&amp;rint Setup...</translation>
    </message>
    <message>
        <source>印刷(&amp;P)...</source>
        <translation>&amp;Print...</translation>
    </message>
    <message>
        <source>印刷プレビュー(&amp;V)</source>
        <translation>Print Pre&amp;view</translation>
    </message>
    <message>
        <source>最近使ったファイル</source>
        <translation>Recent Files</translation>
    </message>
    <message>
        <source>アプリケーションの終了(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>編集(&amp;E)</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>元に戻す(&amp;U)</source>
        <translation>&amp;Undo</translation>
    </message>
    <message>
        <source>切り取り(&amp;T)</source>
        <translation>Cu&amp;t</translation>
    </message>
    <message>
        <source>コピー(&amp;C)</source>
        <translation>&amp;Copy</translation>
    </message>
    <message>
        <source>貼り付け(&amp;P)</source>
        <translation>&amp;Paste</translation>
    </message>
    <message>
        <source>ヘルプ(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>バージョン情報 LexaroDemo(&amp;A)...</source>
        <translation>&amp;About LexaroDemo...</translation>
    </message>
    <message>
        <source>ツール バー</source>
        <translation>Toolbar</translation>
    </message>
    <message>
        <source>新規作成</source>
        <translation>New</translation>
    </message>
    <message>
        <source>開く</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>切り取り</source>
        <translation>Cut</translation>
    </message>
    <message>
        <source>コピー</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>貼り付け</source>
        <translation>Paste</translation>
    </message>
    <message>
        <source>印刷</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>バージョン情報</source>
        <translation>About</translation>
    </message>
    <message>
        <source>ｶﾅ</source>
        <translation>KANA</translation>
    </message>
    <message>
        <source>ファイル %1 を開けません: %2</source>
        <translation>Cannot open the file %1: %2</translation>
    </message>
</context>
<context>
    <name>demo::Samples</name>
    <message>
        <source>配置①</source>
        <translation>Layout 1</translation>
    </message>
    <message>
        <source>配置②</source>
        <translation>Layout 2</translation>
    </message>
    <message>
        <source>DIV</source>
        <translation>DIV</translation>
    </message>
    <message>
        <source>添え字①</source>
        <translation>Scripts 1</translation>
    </message>
    <message>
        <source>添え字②</source>
        <translation>Scripts 2</translation>
    </message>
    <message>
        <source>数式①</source>
        <translation>Formulas 1</translation>
    </message>
    <message>
        <source>数式②</source>
        <translation>Formulas 2</translation>
    </message>
    <message>
        <source>数式③</source>
        <translation>Formulas 3</translation>
    </message>
    <message>
        <source>表①</source>
        <translation>Table 1</translation>
    </message>
    <message>
        <source>表②</source>
        <translation>Table 2</translation>
    </message>
    <message>
        <source>ｷﾞﾘｼｬ（小）</source>
        <translation>Greek (lower)</translation>
    </message>
    <message>
        <source>ｷﾞﾘｼｬ（大）</source>
        <translation>Greek (upper)</translation>
    </message>
    <message>
        <source>演算子</source>
        <translation>Operators</translation>
    </message>
    <message>
        <source>その他</source>
        <translation>Others</translation>
    </message>
    <message>
        <source>sample1</source>
        <translation>sample1</translation>
    </message>
    <message>
        <source>sample2</source>
        <translation>sample2</translation>
    </message>
    <message>
        <source>sample3</source>
        <translation>sample3</translation>
    </message>
    <message>
        <source>sample4</source>
        <translation>sample4</translation>
    </message>
    <message>
        <source>sample5</source>
        <translation>sample5</translation>
    </message>
</context>
</TS>

<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>qorvane</name>
    <message>
        <source>ファイル %1 は開けません</source>
        <translation>Cannot open file %1</translation>
    </message>
    <message>
        <source>%1 のカバー画像は 16 MiB を超えるため引き継ぎません</source>
        <translation>The cover art of %1 is larger than 16 MiB and is not carried over</translation>
    </message>
    <message>
        <source>ビデオのみ</source>
        <translation>Video only</translation>
    </message>
    <message>
        <source>オーディオのみ</source>
        <translation>Audio only</translation>
    </message>
    <message>
        <source>圧縮なし</source>
        <translation>Uncompressed</translation>
    </message>
    <message>
        <source>カスタム (%1x%2)</source>
        <translation>Custom (%1x%2)</translation>
    </message>
    <message>
        <source>保存できませんでした</source>
        <translation>The profile could not be saved</translation>
    </message>
    <message>
        <source>上書き保存しますか?</source>
        <translation>Overwrite the existing profile?</translation>
    </message>
    <message>
        <source>新しい Profile 名の入力</source>
        <translation>Enter a new profile name</translation>
    </message>
    <message>
        <source>フォルダを作成できません</source>
        <translation>Cannot create the folder</translation>
    </message>
    <message>
        <source>完了しました</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>中断しました</source>
        <translation>Aborted</translation>
    </message>
    <message>
        <source>タグを書き込めませんでした (%1)</source>
        <translation>Tags not written (%1)</translation>
    </message>
    <message>
        <source>ファイルが見つかりません</source>
        <translation>File not found</translation>
    </message>
    <message>
        <source>この種類のファイルは変換できません</source>
        <translation>This kind of file cannot be converted</translation>
    </message>
    <message>
        <source>名前に &quot; を含むファイルは変換できません</source>
        <translation>A file whose name contains &quot; cannot be converted</translation>
    </message>
    <message>
        <source>入力ファイルと同じ名前には出力できません</source>
        <translation>Cannot write the output over its own input</translation>
    </message>
    <message>
        <source>エンコーダを起動できません</source>
        <translation>Cannot start the encoder</translation>
    </message>
    <message>
        <source>出力ファイルが作成されませんでした</source>
        <translation>No output file was created</translation>
    </message>
    <message>
        <source>エンコーダがエラーで終了しました (終了コード %1)</source>
        <translation>The encoder failed (exit code %1)</translation>
    </message>
    <message>
        <source>エンコーダが強制終了されました (シグナル %1)</source>
        <translation>The encoder was killed (signal %1)</translation>
    </message>
    <message>
        <source>エンコーダがエラーで終了しました</source>
        <translation>The encoder failed</translation>
    </message>
    <message>
        <source>変換できなかったファイルがあります (%1 件)</source>
        <translation>Some files could not be converted (%1)</translation>
    </message>
    <message>
        <source>次のファイルは変換できない種類のため追加しませんでした (%1 件)</source>
        <translation>These files were not added: their kind cannot be converted (%1)</translation>
    </message>
    <message>
        <source>ほか %1 件</source>
        <translation>and %1 more</translation>
    </message>
    <message>
        <source>詳しくはログをご覧ください:</source>
        <translation>See the log for details:</translation>
    </message>
    <message>
        <source>Windows Media 9 Encoding Script がインストールされていません</source>
        <translation>Windows Media 9 Encoding Script is not installed</translation>
    </message>
    <message>
        <source>変換中は変更できません</source>
        <translation>This cannot be changed while converting</translation>
    </message>
    <message>
        <source>変換中です。中断して終了しますか?</source>
        <translation>Converting. Abort and quit?</translation>
    </message>
    <message>
        <source>なし</source>
        <translation>None</translation>
    </message>
    <message>
        <source>前回は正常に終了しなかったため、変換リストが %1 件残っています。
復元しますか?</source>
        <translation>The program did not end normally last time, and %1 jobs were left in the list.
Restore them?</translation>
    </message>
    <message>
        <source>前回の変換リストを復元できませんでした (ファイルが壊れています)。
%1 に移しました。</source>
        <translation>The job list of last time could not be restored (its file is damaged).
It was moved to %1.</translation>
    </message>
    <message>
        <source>変換リストを %1 に保存できません (空き容量がないか、書き込みできません)。
正常に終了しなかった場合、変換リストの変更は失われます。</source>
        <translation>The job list cannot be kept in %1 (the folder is full or cannot be written to).
Should the program not end normally, changes to the job list will be lost.</translation>
    </message>
    <message>
        <source>%1 件&#x3000;推定サイズ 約 %2&#x3000;長さ %3</source>
        <translation>%1 rows   estimated size about %2   length %3</translation>
    </message>
    <message>
        <source>（サイズ不明 %1 件）</source>
        <translation> (size unknown: %1)</translation>
    </message>
    <message>
        <source>（読み込み中 %1 件）</source>
        <translation> (reading: %1)</translation>
    </message>
    <message>
        <source>空き容量が足りない可能性があります（必要 約 %1、空き %2）。変換を始めますか？</source>
        <translation>There may not be enough free space (needed: about %1, free: %2). Start converting?</translation>
    </message>
    <message>
        <source>空き容量が足りない可能性があります（必要 約 %1、空き %2）: %3</source>
        <translation>There may not be enough free space (needed: about %1, free: %2): %3</translation>
        <source>%1 件完了</source>
        <translation>%1 done</translation>
    </message>
    <message>
        <source>%1 件完了、%2 件失敗</source>
        <translation>%1 done, %2 failed</translation>
    </message>
    <message>
        <source>変換が終わりました</source>
        <translation>Conversion is finished</translation>
    </message>
    <message>
        <source>フォルダを開く</source>
        <translation>Open folder</translation>
        <source>次のフォルダは読めないため、その中のファイルを追加しませんでした (%1 件)</source>
        <translation>These folders could not be read, so their files were not added (%1)</translation>
    </message>
    <message>
        <source>フォルダを読めません</source>
        <translation>The folder cannot be read</translation>
    </message>
</context>
<context>
    <name>qorvane::BatchController</name>
    <message>
        <source>詳細...</source>
        <translation>Details...</translation>
    </message>
    <message>
        <source>変換を中断しますか?</source>
        <translation>Abort the conversion?</translation>
    </message>
</context>
<context>
    <name>qorvane::EncoderOutputWindow</name>
    <message>
        <source>エンコーダの出力</source>
        <translation>Encoder output</translation>
    </message>
    <message>
        <source>エンコーダの出力はまだありません</source>
        <translation>No output from the encoder yet</translation>
    </message>
    <message>
        <source>出力</source>
        <translation>Output</translation>
    </message>
    <message>
        <source>ログ</source>
        <translation>Log</translation>
    </message>
    <message>
        <source>ログファイル:</source>
        <translation>Log file:</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>まだ変換していません</source>
        <translation>Nothing converted yet</translation>
    </message>
    <message>
        <source>変換中: </source>
        <translation>Converting: </translation>
    </message>
    <message>
        <source>終了: </source>
        <translation>Ended: </translation>
    </message>
</context>
<context>
    <name>qorvane::JobListModel</name>
    <message>
        <source>名前</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>プロファイル</source>
        <translation>Profile</translation>
    </message>
    <message>
        <source>タイトル</source>
        <translation>Title</translation>
    </message>
    <message>
        <source>アーティスト</source>
        <translation>Artist</translation>
    </message>
    <message>
        <source>アルバム</source>
        <translation>Album</translation>
    </message>
    <message>
        <source>年</source>
        <translation>Year</translation>
    </message>
    <message>
        <source>著作権</source>
        <translation>Copyright</translation>
    </message>
    <message>
        <source>長さ</source>
        <translation>Length</translation>
    </message>
    <message>
        <source>形式</source>
        <translation>Format</translation>
    </message>
    <message>
        <source>推定サイズ</source>
        <translation>Est. size</translation>
    </message>
</context>
<context>
    <name>qorvane::QtInputBox</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>qorvane::QtPickers</name>
    <message>
        <source>音の選択</source>
        <translation>Choose a sound</translation>
    </message>
    <message>
        <source>音ファイル (*.wav)</source>
        <translation>Sound files (*.wav)</translation>
    </message>
</context>
<context>
    <name>qorvane::TEncSetDlg</name>
    <message>
        <source>オーディオ</source>
        <translation>Audio</translation>
    </message>
    <message>
        <source>モード</source>
        <translation>Mode</translation>
    </message>
    <message>
        <source>ビットレート</source>
        <translation>Bit rate</translation>
    </message>
    <message>
        <source>ピーク</source>
        <translation>Peak</translation>
    </message>
    <message>
        <source>ビデオ</source>
        <translation>Video</translation>
    </message>
    <message>
        <source>フレームレート</source>
        <translation>Frame rate</translation>
    </message>
    <message>
        <source>品質</source>
        <translation>Quality</translation>
    </message>
    <message>
        <source>キーフレーム</source>
        <translation>Key frame</translation>
    </message>
    <message>
        <source>そのまま</source>
        <translation>As is</translation>
    </message>
    <message>
        <source>カスタム</source>
        <translation>Custom</translation>
    </message>
    <message>
        <source>サイズ</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>フィルタ</source>
        <translation>Filter</translation>
    </message>
    <message>
        <source>自動</source>
        <translation>Auto</translation>
    </message>
    <message>
        <source>フォーマット</source>
        <translation>Format</translation>
    </message>
    <message>
        <source>パフォーマンス</source>
        <translation>Performance</translation>
    </message>
    <message>
        <source>速い</source>
        <translation>Fast</translation>
    </message>
    <message>
        <source>高品質</source>
        <translation>Quality</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>別名保存</source>
        <translation>Save As</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>qorvane::TEnvDlg</name>
    <message>
        <source>環境設定</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>全変換終了時にシャットダウンする</source>
        <translation>Shut down when all files are converted</translation>
    </message>
    <message>
        <source>変換終了時に音を鳴らす</source>
        <translation>Play a sound when a file is converted</translation>
    </message>
    <message>
        <source>音ファイル</source>
        <translation>Sound</translation>
    </message>
    <message>
        <source>全変換終了後に音を鳴らす</source>
        <translation>Play a sound when all files are converted</translation>
    </message>
    <message>
        <source>デフォルト作成先</source>
        <translation>Output folder</translation>
    </message>
    <message>
        <source>同時に変換する数</source>
        <translation>Runs at once</translation>
    </message>
    <message>
        <source>カバー画像を引き継ぐ</source>
        <translation>Carry over cover art</translation>
    </message>
    <message>
        <source>(1〜%1)</source>
        <translation>(1 to %1)</translation>
    </message>
    <message>
        <source>いくつのファイルを同時にエンコードするか (CPU の数まで)</source>
        <translation>How many files to encode at the same time (up to the number of CPUs)</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>終了時に通知する</source>
        <translation>Notify when all files are converted</translation>
        <source>フォルダ構成を保つ</source>
        <translation>Keep the folder structure</translation>
    </message>
    <message>
        <source>フォルダから追加したファイルを、作成先の下の同じ構成のフォルダに出力する</source>
        <translation>Files added through a folder go into the same subfolders below the output folder</translation>
    </message>
</context>
<context>
    <name>qorvane::TProDlg</name>
    <message>
        <source>経過 %1 / 残り %2</source>
        <translation>Elapsed %1 / left %2</translation>
    </message>
    <message>
        <source>経過 %1</source>
        <translation>Elapsed %1</translation>
    </message>
    <message>
        <source>全体 %1/%2</source>
        <translation>Run %1/%2</translation>
    </message>
    <message>
        <source>同時 %1</source>
        <translation>%1 at once</translation>
    </message>
    <message>
        <source>パス %1/%2</source>
        <translation>Pass %1/%2</translation>
    </message>
    <message>
        <source>エンコード中・・・</source>
        <translation>Encoding...</translation>
    </message>
    <message>
        <source>中断</source>
        <translation>Abort</translation>
    </message>
    <message>
        <source>詳細...</source>
        <translation>Details...</translation>
    </message>
    <message>
        <source>エンコーダの出力とログ</source>
        <translation>The encoder&apos;s output and log</translation>
    </message>
    <message>
        <source>(一時停止中)</source>
        <translation>(paused)</translation>
    </message>
    <message>
        <source>この後で停止</source>
        <translation>Stop after</translation>
    </message>
    <message>
        <source>変換中のファイルを終えてから止めます。残りはリストに残ります</source>
        <translation>Stop once the files being converted are done; the rest stay in the list</translation>
    </message>
    <message>
        <source>再開</source>
        <translation>Resume</translation>
    </message>
    <message>
        <source>一時停止</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>エンコーダを再開します</source>
        <translation>Let the encoders go on</translation>
    </message>
    <message>
        <source>エンコーダを一時停止します</source>
        <translation>Hold the encoders where they are</translation>
    </message>
</context>
<context>
    <name>qorvane::TQorvbyOstrel</name>
    <message>
        <source>閉じる</source>
        <translation>C&amp;lose</translation>
    </message>
    <message>
        <source>変換</source>
        <translation>&amp;Convert</translation>
    </message>
    <message>
        <source>変更</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>削除</source>
        <translation>&amp;Delete</translation>
    </message>
    <message>
        <source>設定</source>
        <translation>&amp;Settings</translation>
    </message>
    <message>
        <source>タイトル</source>
        <translation>&amp;Title</translation>
    </message>
    <message>
        <source>アーティスト</source>
        <translation>&amp;Artist</translation>
    </message>
    <message>
        <source>アルバム</source>
        <translation>Al&amp;bum</translation>
    </message>
    <message>
        <source>著作権</source>
        <translation>Co&amp;pyright</translation>
    </message>
    <message>
        <source>年</source>
        <translation>&amp;Year</translation>
    </message>
    <message>
        <source>作成先</source>
        <translation>&amp;Output</translation>
    </message>
    <message>
        <source>Profile - %1</source>
        <translation>Profile - %1</translation>
    </message>
    <message>
        <source>プロファイル</source>
        <translation>Profile</translation>
    </message>
    <message>
        <source>ジョブ一覧</source>
        <translation>Jobs</translation>
    </message>
    <message>
        <source>作成先を選ぶ</source>
        <translation>Choose the output folder</translation>
    </message>
    <message>
        <source>中止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>フォルダの追加を中止</source>
        <translation>Stop adding the folder</translation>
    </message>
    <message>
        <source>フォルダを追加しています… %1 件</source>
        <translation>Adding folders… %1</translation>
    </message>
    <message>
        <source>フォルダ追加</source>
        <translation>Add folder</translation>
    </message>
</context>
<context>
    <name>qorvane::TVsizeDlg</name>
    <message>
        <source>カスタムサイズ設定</source>
        <translation>Custom size</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>qorvane::TWatchDlg</name>
    <message>
        <source>監視するフォルダ</source>
        <translation>Watched Folder</translation>
    </message>
    <message>
        <source>フォルダ</source>
        <translation>&amp;Folder</translation>
    </message>
    <message>
        <source>プロファイル</source>
        <translation>&amp;Profile</translation>
    </message>
    <message>
        <source>作成先</source>
        <translation>&amp;Output</translation>
    </message>
    <message>
        <source>(元のファイルと同じ場所)</source>
        <translation>(beside the original file)</translation>
    </message>
    <message>
        <source>フォルダ構成を保つ</source>
        <translation>&amp;Keep the folder structure</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>qorvane::WatchFoldersPanel</name>
    <message>
        <source>フォルダを監視する</source>
        <translation>&amp;Watch folders</translation>
    </message>
    <message>
        <source>一覧のフォルダに届いたファイルを、クリックなしで変換します</source>
        <translation>Files that arrive in the listed folders are converted without a click</translation>
    </message>
    <message>
        <source>フォルダ</source>
        <translation>Folder</translation>
    </message>
    <message>
        <source>プロファイル</source>
        <translation>Profile</translation>
    </message>
    <message>
        <source>作成先</source>
        <translation>Output</translation>
    </message>
    <message>
        <source>構成</source>
        <translation>Structure</translation>
    </message>
    <message>
        <source>追加...</source>
        <translation>&amp;Add...</translation>
    </message>
    <message>
        <source>変更...</source>
        <translation>C&amp;hange...</translation>
    </message>
    <message>
        <source>削除</source>
        <translation>&amp;Remove</translation>
    </message>
    <message>
        <source>(元の場所)</source>
        <translation>(beside the original)</translation>
    </message>
    <message>
        <source>保つ</source>
        <translation>kept</translation>
    </message>
</context>
</TS>
